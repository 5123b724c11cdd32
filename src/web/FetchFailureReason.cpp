#include "web/PageFetcher.h"

namespace qinglan {

std::string fetchFailureReason(const FetchError& error) {
  switch (error.failure()) {
    case FetchFailure::NoServer:
      return "找不到服务器";
    case FetchFailure::Refused:
      return "连接被拒绝";
    case FetchFailure::TimedOut:
      return "连接超时";
    case FetchFailure::Broken:
      return "连接中断";
    case FetchFailure::Certificate:
      return "服务器的证书无效";
    case FetchFailure::Status:
      return "服务器返回 " + std::to_string(error.status());
    case FetchFailure::TooLarge:
      return "页面太大";
    case FetchFailure::Unavailable:
      return "本系统还不能读取网页";
    case FetchFailure::Other:
      break;
  }
  return "网络错误";
}

}  // namespace qinglan
