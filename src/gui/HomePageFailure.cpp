#include "gui/HomePageFailure.h"

#include <QWebEngineLoadingInfo>

namespace qinglan::gui {

namespace {

// The engine's network error codes the user can act on.
QString connectionReason(int code) {
  switch (code) {
    case -102:
      return QStringLiteral("连接被拒绝");
    case -105:
    case -137:
      return QStringLiteral("找不到服务器");
    case -106:
      return QStringLiteral("没有网络连接");
    case -7:
    case -118:
      return QStringLiteral("连接超时");
    case -101:
      return QStringLiteral("连接被重置");
    case -109:
      return QStringLiteral("无法到达服务器");
    case -312:
      return QStringLiteral("服务器的端口不允许访问");
    default:
      return QStringLiteral("网络错误（%1）").arg(code);
  }
}

}  // namespace

QString loadFailureReason(const QWebEngineLoadingInfo& info) {
  switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
      return QStringLiteral("服务器返回 %1").arg(info.errorCode());
    case QWebEngineLoadingInfo::CertificateErrorDomain:
      return QStringLiteral("服务器的证书无效");
    default:
      return connectionReason(info.errorCode());
  }
}

QString loadFailurePage(const QString& address, const QString& reason) {
  return QStringLiteral(
             "<!DOCTYPE html><html lang=\"zh\"><head><meta "
             "charset=\"utf-8\"><title>无法打开主页</title></head>"
             "<body style=\"font-family: sans-serif; margin: 40px\"><h2>无法打开主页</h2><p>%1</p>"
             "<p><a href=\"%2\">重试</a></p></body></html>")
      .arg(reason.toHtmlEscaped(), address.toHtmlEscaped());
}

}  // namespace qinglan::gui
