#include "store/dialect.h"

#include "platform/datetime.h"
#include "platform/numformat.h"
#include "platform/runerror.h"
#include "store/schema.h"

#include <QRegularExpression>
#include <vector>

namespace pelmar::sql {

namespace {

enum class Tok
{
    Space,
    Word,
    Quoted,
    Text,
    Number,
    Date,
    Punct
};

struct Token
{
    Tok kind;
    QString text; // already in SQLite's form
};

RunError syntaxError(const QString& what)
{
    return RunError::of(err::QuerySyntax, what);
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString quoteIdentifier(const QString& name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString quoteText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// Reads a quoted run starting at text[i] == quote; doubled quotes stand for one.
QString readQuoted(const QString& text, int& i, QChar quote)
{
    QString value;
    ++i;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                value += quote;
                i += 2;
                continue;
            }
            ++i;
            return value;
        }
        value += text[i++];
    }
    throw syntaxError(text);
}

// A name as the target spells it: PostgreSQL's tables carry lower-case
// names, so a quoted name must be lower case to find them.
QString nameFor(const QString& name, Target target)
{
    return quoteIdentifier(target == Target::Postgres ? name.toLower() : name);
}

// The end of the number that starts at text[i]: digits and points, and an
// exponent.
int endOfNumber(const QString& text, int i)
{
    int j = i;
    while (j < text.size() && (text[j].isDigit() || text[j] == QLatin1Char('.')))
        ++j;
    if (j < text.size() && (text[j] == QLatin1Char('e') || text[j] == QLatin1Char('E'))) {
        ++j;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        while (j < text.size() && text[j].isDigit())
            ++j;
    }
    return j;
}

// Reads the run after text[i] up to the next close, and moves i past it.
QString readUntil(const QString& text, int& i, QChar close)
{
    const int end = text.indexOf(close, i + 1);
    if (end < 0)
        throw syntaxError(text);
    const QString inside = text.mid(i + 1, end - i - 1);
    i = end + 1;
    return inside;
}

// A date literal's text (between the #s) as its serial.
QString dateSerial(const QString& literal)
{
    const std::optional<double> serial = dates::parseDateTime(literal);
    if (!serial)
        throw RunError(err::QuerySyntax,
                       QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(literal));
    return shortestNumber(*serial);
}

std::vector<Token> tokenize(const QString& text, Target target, Quotes quotes)
{
    std::vector<Token> tokens;
    int i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            int j = i;
            while (j < text.size() && text[j].isSpace())
                ++j;
            tokens.push_back({Tok::Space, QStringLiteral(" ")});
            i = j;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < text.size() && isWordChar(text[j]))
                ++j;
            tokens.push_back({Tok::Word, text.mid(i, j - i)});
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < text.size() && text[i + 1].isDigit())) {
            const int j = endOfNumber(text, i);
            tokens.push_back({Tok::Number, text.mid(i, j - i)});
            i = j;
        } else if (c == QLatin1Char('[')) {
            tokens.push_back({Tok::Quoted, nameFor(readUntil(text, i, QLatin1Char(']')), target)});
        } else if (c == QLatin1Char('"') && quotes == Quotes::Names) {
            tokens.push_back({Tok::Quoted, nameFor(readQuoted(text, i, c), target)});
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            tokens.push_back({Tok::Text, quoteText(readQuoted(text, i, c))});
        } else if (c == QLatin1Char('#')) {
            tokens.push_back({Tok::Date, dateSerial(readUntil(text, i, QLatin1Char('#')))});
        } else if (c == QLatin1Char('`')) {
            int j = i;
            tokens.push_back({Tok::Quoted, nameFor(readQuoted(text, j, c), target)});
            i = j;
        } else {
            tokens.push_back({Tok::Punct, QString(c)});
            ++i;
        }
    }
    return tokens;
}

bool isWord(const Token& t, QLatin1String word)
{
    return t.kind == Tok::Word && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isPunct(const Token& t, char c)
{
    return t.kind == Tok::Punct && t.text == QLatin1Char(c);
}

size_t nextSolid(const std::vector<Token>& tokens, size_t i)
{
    while (i < tokens.size() && tokens[i].kind == Tok::Space)
        ++i;
    return i;
}

// Qualifiers naming the table behind a saved query that the statement reads,
// where the table itself is not read: qualify by the saved query instead.
void requalify(std::vector<Token>& tokens)
{
    for (const SavedQuery& query : savedQueries()) {
        bool readsQuery = false;
        bool readsTable = false;
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind != Tok::Word)
                continue;
            const size_t next = i + 1;
            const bool qualifier = next < tokens.size() && isPunct(tokens[next], '.');
            if (tokens[i].text.compare(query.name, Qt::CaseInsensitive) == 0)
                readsQuery = true;
            else if (!qualifier && tokens[i].text.compare(query.baseTable, Qt::CaseInsensitive) == 0)
                readsTable = true;
        }
        if (!readsQuery || readsTable)
            continue;
        for (size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (tokens[i].kind == Tok::Word && isPunct(tokens[i + 1], '.') &&
                tokens[i].text.compare(query.baseTable, Qt::CaseInsensitive) == 0)
                tokens[i].text = query.name;
        }
    }
}

// PostgreSQL numbers its parameters.
void numberMarks(std::vector<Token>& tokens)
{
    int n = 0;
    for (Token& t : tokens) {
        if (isPunct(t, '?'))
            t.text = QLatin1Char('$') + QString::number(++n);
    }
}

bool endsOrderBy(const Token& t)
{
    static const char* const words[] = {"LIMIT", "OFFSET", "FETCH", "FOR", "UNION", "EXCEPT", "INTERSECT"};
    for (const char* w : words) {
        if (isWord(t, QLatin1String(w)))
            return true;
    }
    return isPunct(t, ';');
}

// SQLite sorts Null below every value, PostgreSQL above: say where Null goes
// in each ORDER BY item, so that a day's row without a time comes last when
// newest first, as on the file.
void orderNullsAsSqlite(std::vector<Token>& tokens)
{
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!isWord(tokens[i], QLatin1String("ORDER")))
            continue;
        const size_t by = nextSolid(tokens, i + 1);
        if (by >= tokens.size() || !isWord(tokens[by], QLatin1String("BY")))
            continue;
        int depth = 0;
        size_t last = by; // last solid token of the present item
        bool hasNulls = false;
        const auto closeItem = [&] {
            if (last == by || hasNulls)
                return;
            tokens[last].text += isWord(tokens[last], QLatin1String("DESC")) ? QLatin1String(" NULLS LAST")
                                                                             : QLatin1String(" NULLS FIRST");
        };
        size_t j = by + 1;
        for (; j < tokens.size(); ++j) {
            const Token& t = tokens[j];
            if (isPunct(t, '('))
                ++depth;
            else if (isPunct(t, ')') && --depth < 0)
                break;
            if (depth == 0 && (endsOrderBy(t) || isPunct(t, ','))) {
                if (!isPunct(t, ','))
                    break;
                closeItem();
                last = by;
                hasNulls = false;
                continue;
            }
            if (t.kind != Tok::Space) {
                last = j;
                hasNulls = hasNulls || isWord(t, QLatin1String("NULLS"));
            }
        }
        closeItem();
        i = j;
    }
}

QString render(const std::vector<Token>& tokens, size_t from, size_t to);

// IsNull( ... ) at tokens[i]; returns the index after the closing bracket.
size_t renderIsNull(const std::vector<Token>& tokens, size_t open, size_t to, QString& out)
{
    int depth = 0;
    for (size_t j = open; j < to; ++j) {
        if (isPunct(tokens[j], '('))
            ++depth;
        else if (isPunct(tokens[j], ')') && --depth == 0) {
            out += QLatin1String("((") + render(tokens, open + 1, j) + QLatin1String(") IS NULL)");
            return j + 1;
        }
    }
    throw syntaxError(QStringLiteral("IsNull"));
}

QString render(const std::vector<Token>& tokens, size_t from, size_t to)
{
    QString out;
    size_t i = from;
    while (i < to) {
        const Token& t = tokens[i];
        if (isWord(t, QLatin1String("IsNull"))) {
            const size_t open = nextSolid(tokens, i + 1);
            if (open < to && isPunct(tokens[open], '(')) {
                i = renderIsNull(tokens, open, to, out);
                continue;
            }
        }
        out += t.text;
        ++i;
    }
    return out;
}

} // namespace

QString translate(const QString& text)
{
    return translate(text, Target::Sqlite);
}

QString translate(const QString& text, Target target, Quotes quotes)
{
    std::vector<Token> tokens = tokenize(text, target, quotes);
    requalify(tokens);
    if (target == Target::Postgres) {
        numberMarks(tokens);
        orderNullsAsSqlite(tokens);
    }
    return render(tokens, 0, tokens.size()).trimmed();
}

QString singleSource(const QString& translated)
{
    static const QRegularExpression from(
        QStringLiteral(
            R"(\bFROM\s+("[^"]+"|\w+)\s*(?:$|;|\bWHERE\b|\bORDER\b|\bGROUP\b|\bHAVING\b|\bLIMIT\b))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = from.match(translated);
    if (!m.hasMatch())
        return QString();
    QString name = m.captured(1);
    if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return name;
}

} // namespace pelmar::sql
