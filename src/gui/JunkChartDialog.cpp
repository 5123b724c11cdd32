#include "gui/JunkChartDialog.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "scan/FormatFileSize.h"

namespace qinglan::gui {

namespace {

constexpr size_t kLargestShown = 10;

}  // namespace

JunkChartDialog::JunkChartDialog(const JunkSummary& summary, ToggleRows toggleRows, QWidget* parent)
    : QDialog(parent), m_toggleRows(std::move(toggleRows)) {
  setObjectName(QStringLiteral("frmJunkChart"));
  setWindowTitle(QStringLiteral("垃圾分布"));
  resize(700, 660);
  auto* layout = new QVBoxLayout(this);
  m_programs = makeChart(QStringLiteral("按软件"), largestWithOthers(summary.resources, kLargestShown));
  m_scanItems = makeChart(QStringLiteral("按扫描项目"), largestWithOthers(summary.scanItems, kLargestShown));
  layout->addWidget(m_programs);
  layout->addWidget(m_scanItems);
}

QChartView* JunkChartDialog::makeChart(const QString& title, std::vector<JunkGroup> groups) {
  // Horizontal bars run from the bottom up: the largest is listed last to stand on top.
  std::reverse(groups.begin(), groups.end());
  auto* bars = new QBarSet(title);
  QStringList captions;
  int64_t largest = 1;
  for (const JunkGroup& group : groups) {
    bars->append(static_cast<qreal>(group.size));
    captions.append(QString::fromStdString(group.name) + QStringLiteral("  ") +
                    QString::fromStdString(FormatFileSize(group.size)));
    largest = std::max(largest, group.size);
  }
  auto* series = new QHorizontalBarSeries;
  series->append(bars);
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->hide();
  chart->addSeries(series);
  auto* names = new QBarCategoryAxis;
  names->append(captions);
  // Qt cuts category labels to "…" as soon as several share the axis; the captions are the point.
  names->setTruncateLabels(false);
  chart->addAxis(names, Qt::AlignLeft);
  series->attachAxis(names);
  auto* sizes = new QValueAxis;
  sizes->setRange(0, static_cast<qreal>(largest));
  sizes->setLabelsVisible(false);  // the captions give each size in the list's own format
  chart->addAxis(sizes, Qt::AlignBottom);
  series->attachAxis(sizes);

  auto rows = std::make_shared<std::vector<JunkGroup>>(std::move(groups));
  connect(bars, &QBarSet::clicked, this, [this, rows](int index) {
    if (index >= 0 && static_cast<size_t>(index) < rows->size())
      m_toggleRows((*rows)[static_cast<size_t>(index)].rowIndexes);
  });
  auto* view = new QChartView(chart, this);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

}  // namespace qinglan::gui
