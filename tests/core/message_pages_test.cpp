// The local pages that the browser panes show between radar pages: present under
// the exact names the program navigates to, and self-contained (no scripts, nothing
// fetched from outside), since a pane may show them while the program is offline.
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

namespace {

const char* const kPages[] = {"StartBlank.htm", "BeginNav.htm", "BeginLoopNav.htm", "AppClose.htm",
                              "NubivistaHelp.htm"};

QString readShipped(const QString& name) {
    QFile file(QStringLiteral(NUBIVISTA_SOURCE_DIR "/shipped/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

TEST(LocalPages, EachPageIsSelfContained) {
    const QRegularExpression externalReference(
        QStringLiteral(R"((src|href)\s*=\s*["']?\s*(https?:|//|file:))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression stylesheet(QStringLiteral(R"(href="([^"]+\.css)\")"));
    for (const char* name : kPages) {
        const QString page = readShipped(QString::fromLatin1(name));
        ASSERT_FALSE(page.isEmpty()) << name;
        EXPECT_TRUE(page.contains(QStringLiteral("<title>"))) << name;
        EXPECT_FALSE(page.contains(QStringLiteral("<script"), Qt::CaseInsensitive)) << name;
        EXPECT_FALSE(page.contains(externalReference)) << name;
        // A linked stylesheet ships beside the page and loads nothing itself.
        const QRegularExpressionMatch css = stylesheet.match(page);
        if (css.hasMatch()) {
            const QString sheet = readShipped(css.captured(1));
            EXPECT_FALSE(sheet.isEmpty())
                << name << " links a missing " << css.captured(1).toStdString();
            EXPECT_FALSE(sheet.contains(QStringLiteral("url("))) << css.captured(1).toStdString();
            EXPECT_FALSE(sheet.contains(QStringLiteral("@import")))
                << css.captured(1).toStdString();
        }
    }
}

} // namespace
