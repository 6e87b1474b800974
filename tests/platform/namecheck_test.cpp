#include "platform/namecheck.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

TEST(NameCheckTest, NamesThatDeceiveAreRefused)
{
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"Ann Lee", nullptr},
        {u"Jos\u00e9 Mar\u00eda O'Brien-\u5c71\u7530", nullptr},
        {u"\u0645\u062d\u0645\u062f Ali", nullptr}, // right-to-left letters are no controls
        {u"", "The full name is empty."},
        {u"   ", "The full name is empty."},
        {u" Ann Lee", "The full name cannot begin or end with a blank."},
        {u"Ann Lee ", "The full name cannot begin or end with a blank."},
        {u"Ann\nLee", "The full name cannot hold a line break or another control character (U+000A)."},
        {u"Ann Lee\r", "The full name cannot hold a line break or another control character (U+000D)."},
        {u"Ann\tLee", "The full name cannot hold a line break or another control character (U+0009)."},
        {u"Ann\u0085Lee", "The full name cannot hold a line break or another control character (U+0085)."},
        {u"Ann\u2028Lee", "The full name cannot hold a line break or another control character (U+2028)."},
        {u"Ann \u202eeeL",
         "The full name cannot hold a character that changes the direction of the text (U+202E)."},
        {u"\u202aAnn",
         "The full name cannot hold a character that changes the direction of the text (U+202A)."},
        {u"Ann\u2066Lee\u2069",
         "The full name cannot hold a character that changes the direction of the text (U+2066)."},
        {u"Ann\u200fLee",
         "The full name cannot hold a character that changes the direction of the text (U+200F)."},
        // Invisible: "Ann\u200bLee" looks like "AnnLee" and would pass for someone else.
        {u"Ann\u200bLee", "The full name cannot hold an invisible formatting character (U+200B)."},
        {u"Ann Le\u00ade", "The full name cannot hold an invisible formatting character (U+00AD)."},
        {u"Ann\ufeffLee", "The full name cannot hold an invisible formatting character (U+FEFF)."},
        {u"Ann\U000e0041Lee", "The full name cannot hold an invisible formatting character (U+E0041)."},
        {u"Ann\u00a0Lee", "The full name cannot hold a space other than the ordinary one (U+00A0)."},
        {u"Ann Lee\u00a0", "The full name cannot hold a space other than the ordinary one (U+00A0)."},
        {u"Ann\u2007Lee", "The full name cannot hold a space other than the ordinary one (U+2007)."},
        {u"Ann\u202fLee", "The full name cannot hold a space other than the ordinary one (U+202F)."},
        {u"\u5c71\u7530\u3000\u82b1\u5b50",
         "The full name cannot hold a space other than the ordinary one (U+3000)."},
    };
    for (const auto& [name, refusal] : cases) {
        const QString text = QString::fromUtf16(name);
        const std::optional<QString> r = nameRefusal(text);
        EXPECT_EQ(r.value_or(QString()), refusal ? QString::fromUtf8(refusal) : QString())
            << text.toStdString();
        EXPECT_EQ(r.has_value(), refusal != nullptr);
    }
}

TEST(NameCheckTest, AtMostAHundredCharacters)
{
    EXPECT_EQ(nameRefusal(QString(100, QLatin1Char('a'))), std::nullopt);
    EXPECT_EQ(nameRefusal(QString(101, QLatin1Char('a'))),
              "The full name cannot be longer than 100 characters; this one has 101.");
    // Counted as characters, not UTF-16 units: 100 letters beyond U+FFFF take 200 units.
    QString wide;
    for (int i = 0; i < 100; ++i)
        wide += QString::fromUcs4(U"\U0001D49C");
    EXPECT_EQ(nameRefusal(wide), std::nullopt);
}

} // namespace
