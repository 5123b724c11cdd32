#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "scan/JunkSummary.h"

class QChartView;

namespace qinglan::gui {

// "垃圾分布": the size of the findings per program (the ten largest and "其他") and per scan
// item, as horizontal bars captioned with the name and the size. A click on a bar hands that
// bar's rows to `toggleRows`.
class JunkChartDialog : public QDialog {
  Q_OBJECT

 public:
  using ToggleRows = std::function<void(const std::vector<size_t>& rows)>;

  JunkChartDialog(const JunkSummary& summary, ToggleRows toggleRows, QWidget* parent = nullptr);

  QChartView* programChart() const { return m_programs; }

 private:
  QChartView* makeChart(const QString& title, std::vector<JunkGroup> groups);

  ToggleRows m_toggleRows;
  QChartView* m_programs;
  QChartView* m_scanItems;
};

}  // namespace qinglan::gui
