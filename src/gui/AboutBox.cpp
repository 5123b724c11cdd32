#include "gui/AboutBox.h"

#include <cstdint>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/AppPaths.h"
#include "gui/MessageBoxes.h"
#include "platform/NativePath.h"
#include "rules/RulesReader.h"
#include "scan/ScanOpening.h"

#ifndef QINGLAN_VERSION
#define QINGLAN_VERSION "unknown"
#endif

namespace qinglan::gui {

namespace {

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

// The fingerprint of the shipped rules a user's copy was made from, or else of the file itself,
// which is then the shipped one: the same rules show the same version either way.
int32_t rulesVersion(TSQLiteDatabase& db, const std::string& file) {
  if (const int32_t recorded = readUserVersion(db); recorded != 0)
    return recorded;
  std::ifstream in(platform::fsPath(file), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return rulesFingerprint(bytes);
}

QString rulesText(const ScanSettings& settings) {
  try {
    const std::unique_ptr<TSQLiteDatabase> db = openScanRules(settings);
    const auto version = static_cast<uint32_t>(rulesVersion(*db, settings.dbFileName));
    const QString versionText = QStringLiteral("%1").arg(version, 8, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("规则库：%1\n规则库版本：%2（%3 个扫描项目，%4 条缓存规则，%5 条说明）")
        .arg(text(settings.dbFileName), versionText)
        .arg(readScanItems(*db).size())
        .arg(readCacheRules(*db).size())
        .arg(readNotes(*db).size());
  } catch (const std::exception& error) {
    return QStringLiteral("规则库：%1\n无法读取规则库：%2")
        .arg(text(settings.dbFileName), text(error.what()));
  }
}

}  // namespace

QString aboutText(const ScanSettings& settings) {
  return QStringLiteral("晴岚清扫助手 V") + QStringLiteral(QINGLAN_VERSION) + QStringLiteral("\n\n") +
         rulesText(settings) +
         QStringLiteral(
             "\n\n版权所有 © 2026 Qinglan Developers，保留所有权利。\n"
             "本程序使用 Qt（GNU LGPL 第 3 版）、SQLite（公有领域）和 libcurl（curl 许可）。");
}

void showAboutBox(QWidget* parent, const ScanSettings& settings) {
  messageBoxes().information(parent, QStringLiteral("关于晴岚清扫助手"), aboutText(settings));
}

}  // namespace qinglan::gui
