// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Extended.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace taonscope {

/// A JSON value as read from a file. Numbers keep their text, so that a reader can take them as an
/// extended real to the last bit; objects keep their keys in order and refuse a key given twice.
class JsonValue {
public:
    struct Number {
        std::string Text;
    };
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>;

    JsonValue() = default;
    /// A value of one of the kinds JSON has (null by default).
    explicit JsonValue(std::variant<std::nullptr_t, bool, Number, std::string, Array, Object> value);

    bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value_); }
    bool IsBool() const { return std::holds_alternative<bool>(value_); }
    bool IsNumber() const { return std::holds_alternative<Number>(value_); }
    bool IsString() const { return std::holds_alternative<std::string>(value_); }
    bool IsArray() const { return std::holds_alternative<Array>(value_); }
    bool IsObject() const { return std::holds_alternative<Object>(value_); }

    /// The value as the kind asked for; each throws TaonError("what is not ...") when it is not.
    bool AsBool(std::string_view what) const;
    /// A number as an extended real, correctly rounded.
    Extended AsReal(std::string_view what) const;
    /// A number that is a whole number from least to most.
    std::int64_t AsInteger(std::string_view what, std::int64_t least, std::int64_t most) const;
    const std::string& AsString(std::string_view what) const;
    const Array& AsArray(std::string_view what) const;
    const Object& AsObject(std::string_view what) const;

    /// The member of an object with that key, or null when there is none (or this is no object).
    const JsonValue* Find(std::string_view key) const;

private:
    std::variant<std::nullptr_t, bool, Number, std::string, Array, Object> value_;
};

/// Reads one JSON document (RFC 8259), nested at most 64 deep. Throws TaonError naming the line and
/// column of the first fault ("line 3, column 7: expected ',' or '}'").
JsonValue ParseJson(std::string_view text);

/// A string as a JSON string token, quoted and escaped.
std::string JsonQuoted(std::string_view text);

} // namespace taonscope
