// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cctype>
#include <cstring>
#include <string_view>

namespace taonscope::test {

/// Tells whether a text is exactly one JSON value (RFC 8259), with nothing but blanks around it.
class JsonChecker {
public:
    static bool Valid(std::string_view text) {
        JsonChecker checker(text);
        return checker.Value() && checker.i_ == text.size();
    }

private:
    explicit JsonChecker(std::string_view text) : s_(text) {}
    bool At(char c) const { return i_ < s_.size() && s_[i_] == c; }
    bool Take(char c) { return At(c) ? (++i_, true) : false; }
    void Blanks() {
        while (i_ < s_.size() && std::strchr(" \t\n\r", s_[i_]) && s_[i_] != '\0') ++i_;
    }
    bool Word(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }
    bool Digits() {
        const std::size_t start = i_;
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
        return i_ > start;
    }
    bool Number() {
        Take('-');
        if (!Take('0') && !Digits()) return false;
        if (Take('.') && !Digits()) return false;
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return false;
        }
        return true;
    }
    bool String() {
        if (!Take('"')) return false;
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') continue;
            if (i_ >= s_.size()) return false;
            const char escaped = s_[i_++];
            if (escaped == 'u') {
                for (int k = 0; k < 4; ++k, ++i_)
                    if (i_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_]))) return false;
            } else if (!std::strchr("\"\\/bfnrt", escaped) || escaped == '\0') {
                return false;
            }
        }
        return false;
    }
    bool Members(char close, bool named) {
        Blanks();
        if (Take(close)) return true;
        do {
            Blanks();
            if (named && !(String() && (Blanks(), Take(':')))) return false;
            if (!Value()) return false;
        } while (Take(','));
        return Take(close);
    }
    bool Value() {
        Blanks();
        bool ok = false;
        if (Take('{'))
            ok = Members('}', true);
        else if (Take('['))
            ok = Members(']', false);
        else if (At('"'))
            ok = String();
        else if (At('t') || At('f') || At('n'))
            ok = Word("true") || Word("false") || Word("null");
        else
            ok = Number();
        Blanks();
        return ok;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

} // namespace taonscope::test
