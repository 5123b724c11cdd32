#pragma once

#include <QWidget>

#include "gui/ListView.h"
#include "web/UpdateCheck.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

class IconList;

// The columns of ListView4.
enum UpdateColumn { kUpdateNameColumn, kLatestVersionColumn, kReleaseDateColumn, kUpdateResourceIdColumn };

// "软件升级": the update check, its list and its status line.
class UpdatePage : public QWidget {
  Q_OBJECT

 public:
  UpdatePage(const IconList& icons, QWidget* parent = nullptr);

  QLabel* Label11() const { return m_label11; }
  QPushButton* bsSkinButton11() const { return m_bsSkinButton11; }
  ListView* ListView4() const { return m_listView4; }
  QLabel* Label12() const { return m_label12; }

 private:
  QLabel* m_label11;
  QPushButton* m_bsSkinButton11;
  ListView* m_listView4;
  QLabel* m_label12;
};

// Shows the update check's findings on its page: rows in ListView4, unchecked, with the resource's
// icon; the status in Label12.
class UpdateListSink final : public UpdateSink {
 public:
  explicit UpdateListSink(UpdatePage& page) : m_page(page) {}

  void clearRows() override;
  void addRow(const UpdateRow& row) override;
  void setStatus(const std::string& text) override;

 private:
  UpdatePage& m_page;
};

}  // namespace qinglan::gui
