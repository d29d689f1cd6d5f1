#include "auxiliary/form3.h"

#include "core/app_identity.h"
#include "core/app_paths.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace nubivista::auxiliary {

namespace {

const QString kDataCaption =
    QStringLiteral("Your settings, the current loop and your saved image sets are kept in:");
const QString kCacheCaption =
    QStringLiteral("The radar pages and images it downloads are cached in:");

QLabel* textLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

Form3::Form3(const QString& userDir, QWidget* parent, AboutPlaces places)
    : QWidget(parent, Qt::Dialog), userDir_(userDir), places_(std::move(places)) {
    if (places_.cacheDir.isEmpty())
        places_.cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                           QStringLiteral("/internet");
    if (places_.helpPagePath.isEmpty())
        places_.helpPagePath = QDir(core::appDirFrom(QCoreApplication::applicationDirPath()))
                                   .filePath(core::kProgramTitle + QStringLiteral("Help.htm"));

    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About ") + core::kProgramTitle);

    auto* title = new QLabel(core::kProgramTitle, this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(core::versionText(), this);
    version->setObjectName(QStringLiteral("Label2"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* text = textLabel(QStringLiteral("Label3"), descriptionText(), this);
    auto* dataCaption = textLabel(QStringLiteral("Label4"), kDataCaption, this);
    auto* cacheCaption = textLabel(QStringLiteral("Label5"), kCacheCaption, this);

    auto* help = new QLabel(QStringLiteral("<a href=\"help\">Help Page (Local)</a>"), this);
    help->setObjectName(QStringLiteral("Label6"));
    help->setTextFormat(Qt::RichText);
    help->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    help->setToolTip(QDir::toNativeSeparators(places_.helpPagePath));
    connect(help, &QLabel::linkActivated, this, [this] { Label6_LinkActivated(); });

    auto* okay = new QPushButton(QStringLiteral("Okay"), this);
    okay->setObjectName(QStringLiteral("Command1"));
    okay->setDefault(true);
    connect(okay, &QPushButton::clicked, this, &QWidget::hide);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::hide);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(help);
    bottom->addStretch(1);
    bottom->addWidget(okay);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(text);
    if (!places_.feedDescription.isEmpty()) {
        layout->addSpacing(6);
        layout->addWidget(textLabel(QStringLiteral("Label7"), places_.feedDescription, this));
    }
    layout->addSpacing(6);
    layout->addWidget(dataCaption);
    layout->addWidget(folderBox(QStringLiteral("Text1"), userDir_));
    layout->addWidget(cacheCaption);
    layout->addWidget(folderBox(QStringLiteral("Text2"), places_.cacheDir));
    layout->addSpacing(6);
    layout->addLayout(bottom);
    // The wrapped texts decide the height at the fixed width.
    setFixedWidth(460);
    adjustSize();
    setFixedHeight(height());
}

QString Form3::descriptionText() {
    return QStringLiteral(
        "Watches the Doppler radar pages of the National Weather Service and keeps the newest "
        "images of one radar site and product as a local loop of up to 20 images. The loop "
        "can be animated forward or rocked, stepped, zoomed, saved and opened again, and "
        "clicks on the images measure a storm's distance, direction, speed and time of "
        "arrival.");
}

QString Form3::aboutText() const {
    const QString feed = places_.feedDescription.isEmpty()
                             ? QString()
                             : QStringLiteral("\n\n") + places_.feedDescription;
    return descriptionText() + feed + QStringLiteral("\n\n") + kDataCaption + QLatin1Char('\n') +
           QDir::toNativeSeparators(userDir_) + QStringLiteral("\n") + kCacheCaption +
           QLatin1Char('\n') + QDir::toNativeSeparators(places_.cacheDir);
}

void Form3::Label6_LinkActivated() {
    if (places_.openHelpPage)
        places_.openHelpPage();
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(places_.helpPagePath));
}

QLineEdit* Form3::folderBox(const QString& name, const QString& path) {
    // A read-only box: a long path scrolls instead of being cut, and can be
    // selected and copied.
    auto* box = new QLineEdit(QDir::toNativeSeparators(path), this);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setCursorPosition(0);
    box->setToolTip(box->text());
    return box;
}

void Form3::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

} // namespace nubivista::auxiliary
