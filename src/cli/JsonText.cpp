#include "cli/JsonText.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "cli/PrintableName.h"

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

// An empty json stands for no text yet: a text always gives at least its quotes.
const std::string& RepeatedJsonString::of(std::string_view text) {
  if (m_json.empty() || text != m_text) {
    m_text.assign(text);
    m_json.clear();
    appendJsonString(m_json, printable(text, m_storage));
  }
  return m_json;
}

}  // namespace qinglan::cli
