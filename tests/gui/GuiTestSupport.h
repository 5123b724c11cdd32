#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <QList>
#include <QString>
#include <QUrl>

#include "gui/MessageBoxes.h"
#include "gui/ShellActions.h"
#include "gui/frmmain.h"
#include "platform/Volumes.h"
#include "support/ScriptedVolumeSpace.h"
#include "support/TempDir.h"

namespace qinglan::test {

// Message boxes that record every call and answer questions from a script (No when it runs out).
class ScriptedMessageBoxes final : public gui::MessageBoxes {
 public:
  struct Shown {
    QString kind;  // "warning", "information", "question" or "error"
    QWidget* parent;
    QString title;
    QString text;
    QString detail = {};
  };

  ScriptedMessageBoxes() { gui::setMessageBoxes(this); }
  ~ScriptedMessageBoxes() override { gui::setMessageBoxes(nullptr); }

  void warning(QWidget* parent, const QString& title, const QString& text) override {
    shown.append({QStringLiteral("warning"), parent, title, text});
  }
  void information(QWidget* parent, const QString& title, const QString& text) override {
    shown.append({QStringLiteral("information"), parent, title, text});
  }
  bool question(QWidget* parent, const QString& title, const QString& text) override {
    shown.append({QStringLiteral("question"), parent, title, text});
    if (answers.empty())
      return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void error(QWidget* parent, const QString& title, const QString& text) override {
    shown.append({QStringLiteral("error"), parent, title, text});
  }
  void detailedError(QWidget* parent, const QString& title, const QString& text,
                     const QString& detail) override {
    shown.append({QStringLiteral("error"), parent, title, text, detail});
  }

  QList<Shown> shown;
  std::deque<bool> answers;
};

// Shell actions that only record what was asked.
class RecordingShell final : public gui::ShellActions {
 public:
  RecordingShell() { gui::setShellActions(this); }
  ~RecordingShell() override { gui::setShellActions(nullptr); }

  bool openFolder(const QString& folder) override {
    calls.append(QStringLiteral("open ") + folder);
    return foldersOpen;
  }
  bool openUrl(const QUrl& url) override {
    calls.append(QStringLiteral("url ") + url.toString());
    return urlsOpen;
  }
  bool showInFileManager(const QString& path) override {
    calls.append(QStringLiteral("show ") + path);
    return foldersOpen;
  }

  QStringList calls;
  bool urlsOpen = true;     // false: as if no browser were installed
  bool foldersOpen = true;  // false: as if no file manager were installed
};

// A temporary machine: volume roots holding caches, and the program's folder for wb.lst.
class SampleMachine {
 public:
  SampleMachine();

  const TempDir& dir() const { return m_dir; }
  // The program's folder, with a trailing separator.
  std::string appDir() const;
  std::string wbLst() const;

  // A volume root "<dir>/<name>/" of the given kind, in the order added.
  std::string addVolume(const std::string& name, platform::DriveKind kind);
  // The volume's CloudCache folder.
  std::string makeCache(const std::string& volumeRoot) const;
  // A resource folder in a cache; Resource.ini written (GBK) from the UTF-8 text unless it is empty.
  std::string addResource(const std::string& cache, const std::string& id,
                          std::string_view resourceIni) const;
  std::string addNamedResource(const std::string& cache, const std::string& id, std::string_view name) const;
  void writeIcon(const std::string& resourceFolder) const;
  void writeWbLst(std::string_view utf8) const;

  const std::vector<platform::Volume>& volumes() const { return m_volumes; }
  gui::FormEnvironment environment() const;
  // What the window's cleaning passes read the free space through.
  ScriptedVolumeSpace& space() const { return m_space; }

 private:
  TempDir m_dir;
  mutable ScriptedVolumeSpace m_space;
  std::vector<platform::Volume> m_volumes;
};

// UTF-8 literals as a string list.
QStringList strings(std::initializer_list<const char*> utf8);

// The captions of a list view's rows, column by column.
QStringList columnTexts(const gui::ListView* view, int column);

// Adds a finding to the window's results as a scan does, shown at once.
void showFinding(gui::TForm1& form, const ResultsRow& row);

}  // namespace qinglan::test
