// The window's look as GTK CSS, made from a parsed skin; no toolkit here.
#include "skin_css.h"

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

namespace qz {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// The rules, with {name} standing for a colour or url worked out below. The
// shapes follow what the Windows skin library paints: a two-colour caption
// gradient, flat buttons with a shaded lower half, a rounded frame line,
// sunken edges on the entry and the list.
constexpr char kRules[] = R"css(
window.{cls} {
  background-color: {face};
  {texture}
  color: {face_text};
  font-family: "WenQuanYi Micro Hei", sans-serif;
  font-size: 9pt;
  border-radius: 0;
  box-shadow: none;
  outline: none;
}
window.{cls}.csd {
  border: 1px solid {frame};
}
window.{cls} .qz-caption {
  background-image: linear-gradient(to bottom, {caption_top}, {caption_bottom});
  background-color: {caption_bottom};
  color: {caption_text};
  min-height: 18px;
  padding: 0 2px 0 6px;
  border-bottom: 3px solid {caption_bottom};
}
window.{cls} .qz-edge {
  border: 2px solid {caption_bottom};
  border-top: none;
}
window.{cls}:backdrop .qz-caption {
  background-image: linear-gradient(to bottom, {caption_top_idle}, {caption_bottom_idle});
  background-color: {caption_bottom_idle};
  border-bottom-color: {caption_bottom_idle};
}
window.{cls}:backdrop .qz-edge {
  border-color: {caption_bottom_idle};
}
window.{cls} .qz-preview {
  background-color: #ffffff;
}
window.{cls} .qz-caption .qz-title {
  font-weight: bold;
  color: {caption_text};
}
window.{cls} .qz-caption windowcontrols button {
  min-width: 16px;
  min-height: 16px;
  margin: 0 0 0 2px;
  padding: 0;
  border-radius: 0;
  border: 1px solid {caption_button_line};
  background-image: none;
  background-color: {caption_button};
  color: {caption_text};
  box-shadow: none;
}
window.{cls} .qz-caption windowcontrols button image {
  padding: 0;
  color: {caption_text};
  -gtk-icon-size: 12px;
}
window.{cls} button {
  background-image: linear-gradient(to bottom, {button_face} 50%, {button_shade} 50%);
  background-color: {button_face};
  color: {button_text};
  border: 1px solid {button_border};
  border-radius: 0;
  box-shadow: none;
  min-height: 0;
  min-width: 0;
  padding: 0 4px;
  outline: none;
}
window.{cls} button:focus-visible {
  box-shadow: inset 0 0 0 1px {button_border};
  outline: 1px dotted {button_text};
  outline-offset: -4px;
}
window.{cls} button:active {
  background-image: none;
  background-color: {button_pressed};
}
window.{cls} entry {
  background-image: none;
  background-color: {edit_back};
  color: {edit_text};
  border: 1px solid;
  border-color: {edge_dark} {edge_light} {edge_light} {edge_dark};
  border-radius: 0;
  box-shadow: none;
  outline: none;
  min-height: 0;
  padding: 0 2px;
}
window.{cls} frame > border {
  border: 1px solid {group_line};
  border-radius: 3px;
  box-shadow: none;
}
window.{cls} frame > label {
  color: {face_text};
  margin: 0 2px;
}
window.{cls} scrolledwindow.qz-list {
  border: 1px solid;
  border-color: {edge_dark} {edge_light} {edge_light} {edge_dark};
  background-color: {list_back};
}
window.{cls} columnview,
window.{cls} columnview > listview {
  background-color: {list_back};
  color: {list_text};
}
window.{cls} columnview > header > button {
  background-image: none;
  background-color: {header_back};
  color: {header_text};
  border: none;
  border-right: 1px solid {group_line};
  border-bottom: 1px solid {group_line};
  padding: 0 6px;
  min-height: 17px;
}
window.{cls} columnview > listview > row {
  min-height: 0;
  padding: 0;
  border-bottom: 1px solid {grid};
}
window.{cls} columnview > listview > row > cell {
  padding: 0 2px;
  border-right: 1px solid {grid};
}
window.{cls} columnview:focus-within > listview > row:selected {
  background-color: {caption_bottom};
  color: {caption_text};
}
window.{cls} columnview:not(:focus-within) > listview > row:selected {
  background-color: transparent;
  color: {list_text};
}
window.{cls} scrollbar {
  background-color: {face};
}
window.{cls} scrollbar slider {
  background-color: {button_border};
  border-radius: 0;
}
window.{cls} popover.menu > contents {
  background-color: {button_face};
  color: {face_text};
  border: 1px solid {frame};
  border-radius: 0;
  box-shadow: none;
  margin: 0;
  padding: 2px;
}
window.{cls} popover.menu modelbutton {
  min-height: 20px;
  padding: 0 18px;
  border-radius: 0;
}
window.{cls} popover.menu modelbutton:hover,
window.{cls} popover.menu modelbutton:focus {
  background-color: {caption_bottom};
  color: {caption_text};
}
)css";

// The face texture's rule, or nothing without one.
std::string texture_rule(std::string_view url)
{
    if (url.empty())
        return "background-image: none;";
    std::string rule = "background-image: url(\"";
    rule += url;
    rule += "\");\n  background-repeat: repeat;\n  background-position: 0 0;";
    return rule;
}

// Replaces every {name} of the rules by its value; the braces of the rules
// themselves, and a name without a value, stay as they are.
std::string fill_in(std::string_view rules, const std::vector<std::pair<std::string_view, std::string>>& values)
{
    std::string out;
    out.reserve(rules.size() * 2);
    std::size_t at = 0;
    while (at < rules.size()) {
        const std::size_t open = rules.find('{', at);
        if (open == std::string_view::npos) {
            out.append(rules.substr(at));
            break;
        }
        out.append(rules.substr(at, open - at));
        const std::size_t end = rules.find_first_not_of("abcdefghijklmnopqrstuvwxyz_", open + 1);
        const std::string* value = nullptr;
        if (end != std::string_view::npos && rules[end] == '}') {
            const std::string_view name = rules.substr(open + 1, end - open - 1);
            for (const auto& [key, text] : values) {
                if (key == name)
                    value = &text;
            }
        }
        if (value) {
            out += *value;
            at = end + 1;
        } else {
            out += '{';
            at = open + 1;
        }
    }
    return out;
}

}  // namespace

std::string css_colour(std::uint32_t colorref)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colorref & 255u, (colorref >> 8) & 255u, (colorref >> 16) & 255u);
    return text;
}

std::uint32_t blend_colour(std::uint32_t a, std::uint32_t b, int percent_b)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 255u), y = static_cast<int>((b >> shift) & 255u);
        out |= static_cast<std::uint32_t>((x * (100 - percent_b) + y * percent_b) / 100) << shift;
    }
    return out;
}

std::string data_url(std::string_view media_type, std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string url = "data:";
    url += media_type;
    url += ";base64,";
    url.reserve(url.size() + (bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16) |
                                (std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8) |
                                std::uint32_t(static_cast<unsigned char>(bytes[i + 2]));
        url += kDigits[(v >> 18) & 63];
        url += kDigits[(v >> 12) & 63];
        url += kDigits[(v >> 6) & 63];
        url += kDigits[v & 63];
    }
    if (const std::size_t left = bytes.size() - i; left > 0) {
        std::uint32_t v = std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16;
        if (left == 2)
            v |= std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
        url += kDigits[(v >> 18) & 63];
        url += kDigits[(v >> 12) & 63];
        url += left == 2 ? kDigits[(v >> 6) & 63] : '=';
        url += '=';
    }
    return url;
}

std::string skin_css(const skinh::Skin& skin, std::string_view texture_url)
{
    using namespace skinh;
    const auto c = [&](Role role) { return skin.colour[role]; };
    // An inactive caption fades towards the face, as on Windows.
    const std::uint32_t top_idle = blend_colour(c(kCaptionTop), c(kFace), 45);
    const std::uint32_t bottom_idle = blend_colour(c(kCaptionBottom), c(kFace), 45);
    const std::vector<std::pair<std::string_view, std::string>> values{
        {"cls", kSkinnedWindowClass},
        {"texture", texture_rule(texture_url)},
        {"face", css_colour(c(kFace))},
        {"face_text", css_colour(c(kFaceText))},
        {"caption_top", css_colour(c(kCaptionTop))},
        {"caption_bottom", css_colour(c(kCaptionBottom))},
        {"caption_top_idle", css_colour(top_idle)},
        {"caption_bottom_idle", css_colour(bottom_idle)},
        {"caption_text", css_colour(c(kCaptionText))},
        {"caption_button", css_colour(blend_colour(c(kCaptionBottom), kWhite, 18))},
        {"caption_button_line", css_colour(blend_colour(c(kCaptionBottom), c(kCaptionText), 40))},
        {"frame", css_colour(c(kFrame))},
        {"button_face", css_colour(c(kButtonFace))},
        {"button_shade", css_colour(blend_colour(c(kButtonFace), c(kButtonBorder), 8))},
        {"button_pressed", css_colour(blend_colour(c(kButtonFace), c(kButtonBorder), 30))},
        {"button_text", css_colour(c(kButtonText))},
        {"button_border", css_colour(c(kButtonBorder))},
        {"edit_back", css_colour(c(kEditBack))},
        {"edit_text", css_colour(c(kEditText))},
        {"list_back", css_colour(c(kListBack))},
        {"list_text", css_colour(c(kListText))},
        {"header_back", css_colour(c(kHeaderBack))},
        {"header_text", css_colour(c(kHeaderText))},
        {"group_line", css_colour(c(kGroupLine))},
        {"grid", css_colour(blend_colour(c(kListBack), c(kGroupLine), 35))},
        // The thin sunken edge of Windows' static edge style.
        {"edge_dark", css_colour(0x00808080)},
        {"edge_light", css_colour(kWhite)},
    };
    return fill_in(kRules, values);
}

}  // namespace qz
