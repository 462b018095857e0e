#include "monitor/slot_health.h"

#include <ctime>

namespace lumora {

namespace {

std::string ClockTime(std::chrono::system_clock::time_point when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string FailureWords(const SlotHealth& health) {
    if (health.lastFailureStatus != 0) return "HTTP " + std::to_string(health.lastFailureStatus);
    switch (health.lastFailureKind) {
        case TransferFailure::Connect: return "连接失败（" + health.lastFailure + "）";
        case TransferFailure::Timeout: return "超时（" + health.lastFailure + "）";
        case TransferFailure::Tls: return "证书或加密连接失败";
        case TransferFailure::BadAddress: return "地址无效";
        case TransferFailure::BrokenOff: return "连接中断";
        case TransferFailure::TooManyRedirects: return "重定向过多";
        default: return health.lastFailure;
    }
}

}  // namespace

std::string HealthText(const SlotHealth& health) {
    if (health.cycles == 0) return "尚未完成一轮监控";
    std::string text = "上次成功读取：" + (health.lastSuccess ? ClockTime(*health.lastSuccess) : std::string("无"));
    text += "\n上一轮：读取 " + std::to_string(health.pagesRead) + " 页，保留 " + std::to_string(health.postsKept) + " 帖";
    if (!health.lastFailure.empty() || health.lastFailureStatus != 0) text += "\n最近错误：" + FailureWords(health);
    if (health.markupChanged) text += "\n页面结构可能已改变";
    if (health.backingOff)
        text += "\n网站拒绝访问，放慢监控：" +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(health.nextPause).count()) + " 秒后重试";
    return text;
}

}  // namespace lumora
