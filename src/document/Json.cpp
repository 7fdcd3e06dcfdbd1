// SPDX-License-Identifier: GPL-3.0-or-later
#include "Json.h"

#include "TextEncoding.h"
#include "TextLines.h"
#include "XyzFile.h"

#include "core/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace taonscope {

namespace {

constexpr int MostDepth = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    JsonValue Document() {
        // JSON text is UTF-8; a byte that is not goes no further than here.
        at_ = ValidUtf8Length(text_);
        if (at_ < text_.size()) Fail("a byte that is not UTF-8");
        at_ = 0;
        SkipBlanks();
        JsonValue value = Value(0);
        SkipBlanks();
        if (at_ != text_.size()) Fail("text after the end of the document");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) { // a character, not its tail
                ++column;
            }
        }
        throw TaonError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                        message);
    }

    void SkipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    bool Take(char c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void Expect(char c, const char* what) {
        if (!Take(c)) Fail(std::string("expected ") + what);
    }

    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    JsonValue Value(int depth) {
        if (depth >= MostDepth) Fail("nested deeper than " + std::to_string(MostDepth));
        SkipBlanks();
        if (at_ >= text_.size()) Fail("expected a value");
        const char c = text_[at_];
        if (c == '{') return Object(depth);
        if (c == '[') return Array(depth);
        if (c == '"') return JsonValue(String());
        if (Word("true")) return JsonValue(true);
        if (Word("false")) return JsonValue(false);
        if (Word("null")) return JsonValue(nullptr);
        if (c == '-' || (c >= '0' && c <= '9')) return JsonValue(Number());
        Fail("expected a value");
    }

    JsonValue Object(int depth) {
        ++at_;
        JsonValue::Object members;
        if (Take('}')) return JsonValue(std::move(members));
        std::vector<std::size_t> keyAt;
        do {
            SkipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"') Fail("expected a key in quotes");
            keyAt.push_back(at_);
            std::string key = String();
            Expect(':', "':'");
            members.emplace_back(std::move(key), Value(depth + 1));
        } while (Take(','));
        Expect('}', "',' or '}'");
        // Keys given twice, found by sorting rather than by comparing every pair: the first key that
        // repeats an earlier one is named.
        std::vector<std::size_t> order(members.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return members[a].first < members[b].first; });
        std::size_t repeat = members.size();
        for (std::size_t n = 1; n < order.size(); ++n)
            if (members[order[n]].first == members[order[n - 1]].first) repeat = std::min(repeat, order[n]);
        if (repeat < members.size()) {
            at_ = keyAt[repeat];
            Fail("the key \"" + members[repeat].first + "\" is given twice");
        }
        return JsonValue(std::move(members));
    }

    JsonValue Array(int depth) {
        ++at_;
        JsonValue::Array items;
        if (Take(']')) return JsonValue(std::move(items));
        do items.push_back(Value(depth + 1));
        while (Take(','));
        Expect(']', "',' or ']'");
        return JsonValue(std::move(items));
    }

    JsonValue::Number Number() {
        const std::size_t start = at_;
        auto digits = [&] {
            const std::size_t first = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            return at_ > first;
        };
        if (text_[at_] == '-') ++at_;
        if (at_ < text_.size() && text_[at_] == '0')
            ++at_;
        else if (!digits())
            Fail("expected digits");
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!digits()) Fail("expected digits after the point");
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (!digits()) Fail("expected the digits of an exponent");
        }
        return {std::string(text_.substr(start, at_ - start))};
    }

    unsigned Hex4() {
        unsigned value = 0;
        if (at_ + 4 > text_.size()) Fail("expected four hexadecimal digits");
        const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, value, 16);
        if (error != std::errc() || end != text_.data() + at_ + 4) Fail("expected four hexadecimal digits");
        at_ += 4;
        return value;
    }

    std::string String() {
        ++at_; // the opening quote
        std::string out;
        for (;;) {
            if (at_ >= text_.size()) Fail("a string without its closing quote");
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) {
                --at_;
                Fail("a control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) Fail("a string without its closing quote");
            const char escaped = text_[at_++];
            switch (escaped) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = Hex4();
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (!Word("\\u")) Fail("a lone surrogate");
                    const unsigned low = Hex4();
                    if (low < 0xDC00 || low > 0xDFFF) Fail("a lone surrogate");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    Fail("a lone surrogate");
                } else if (code == 0) {
                    at_ -= 6;
                    Fail("a NUL character (\\u0000) in a string");
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                --at_;
                Fail("an unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

[[noreturn]] void NotA(std::string_view what, const char* kind) {
    throw TaonError(std::string(what) + " is not " + kind);
}

} // namespace

JsonValue::JsonValue(std::variant<std::nullptr_t, bool, Number, std::string, Array, Object> value)
    : value_(std::move(value)) {}

bool JsonValue::AsBool(std::string_view what) const {
    if (!IsBool()) NotA(what, "true or false");
    return std::get<bool>(value_);
}

Extended JsonValue::AsReal(std::string_view what) const {
    if (!IsNumber()) NotA(what, "a number");
    const std::string& text = std::get<Number>(value_).Text;
    const auto value = ParseXyzReal(text);
    if (!value || BeyondExtendedRange(text, *value)) NotA(what, "a number an extended real can hold");
    return *value;
}

std::int64_t JsonValue::AsInteger(std::string_view what, std::int64_t least, std::int64_t most) const {
    if (!IsNumber()) NotA(what, "a number");
    const std::string& text = std::get<Number>(value_).Text;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < least || value > most)
        throw TaonError(std::string(what) + " is not a whole number from " + std::to_string(least) + " to " +
                        std::to_string(most));
    return value;
}

const std::string& JsonValue::AsString(std::string_view what) const {
    if (!IsString()) NotA(what, "a string");
    return std::get<std::string>(value_);
}

const JsonValue::Array& JsonValue::AsArray(std::string_view what) const {
    if (!IsArray()) NotA(what, "a list");
    return std::get<Array>(value_);
}

const JsonValue::Object& JsonValue::AsObject(std::string_view what) const {
    if (!IsObject()) NotA(what, "an object");
    return std::get<Object>(value_);
}

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (!IsObject()) return nullptr;
    for (const auto& [name, value] : std::get<Object>(value_))
        if (name == key) return &value;
    return nullptr;
}

JsonValue ParseJson(std::string_view text) {
    return Parser(text).Document();
}

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace taonscope
