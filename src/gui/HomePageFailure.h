#pragma once

#include <QString>

class QWebEngineLoadingInfo;

namespace qinglan::gui {

// Why a load of the home page failed, in the user's words: "连接被拒绝", "找不到服务器",
// "服务器返回 404" ...
QString loadFailureReason(const QWebEngineLoadingInfo& info);

// The program's own page for a home page that could not be loaded: "无法打开主页", the reason and a
// "重试" link to the address. It needs no script, so it shows where page scripts are off.
QString loadFailurePage(const QString& address, const QString& reason);

}  // namespace qinglan::gui
