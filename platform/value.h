#pragma once

#include <QString>
#include <variant>

namespace pelmar {

// A field's or an argument's value: Null, a whole number, a
// floating-point number, a text or a date serial. Field values, the window's
// date-range slots and the mail procedure's arguments are Values.
class Value
{
public:
    enum class Kind
    {
        Null,
        Integer,
        Double,
        Text,
        Date
    };

    Value() = default;
    static Value null() { return Value(); }
    static Value integer(qint64 v) { return Value(Kind::Integer, v); }
    static Value number(double v) { return Value(Kind::Double, v); }
    static Value text(QString v) { return Value(Kind::Text, std::move(v)); }
    static Value date(double serial) { return Value(Kind::Date, serial); }

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isText() const { return m_kind == Kind::Text; }
    bool isDate() const { return m_kind == Kind::Date; }
    bool isNumeric() const { return m_kind == Kind::Integer || m_kind == Kind::Double; }

    // The conversions. Each throws RunError 94 (invalid use of
    // Null) on Null and 13 (type mismatch) on a text that does not convert.
    QString toText() const;  // numbers shortest, dates by their short/long forms
    double toDouble() const; // texts read as US numbers; dates as serials
    float toSingle() const;
    qint64 toInteger() const; // rounds half to even
    double toDate() const;    // texts read by the date test's reader

    // Text for concatenation where Null is empty text.
    QString toTextOrEmpty() const { return isNull() ? QString() : toText(); }

    bool operator==(const Value& other) const = default;

private:
    using Store = std::variant<std::monostate, qint64, double, QString>;
    template <typename T> Value(Kind kind, T v) : m_kind(kind), m_store(std::move(v)) {}

    Kind m_kind = Kind::Null;
    Store m_store;
};

} // namespace pelmar
