#include "cli/JsonText.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace qinglan::cli {

void appendJsonString(std::string& out, std::string_view text) {
  const bool plain = std::ranges::none_of(
      text, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\'; });
  if (!plain) {
    out += nlohmann::json(text).dump();
    return;
  }
  out += '"';
  out += text;
  out += '"';
}

}  // namespace qinglan::cli
