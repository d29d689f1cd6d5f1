#include "auxiliary/form3.h"

#include "core/app_identity.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nubivista::auxiliary {

Form3::Form3(const QString& userDir, QWidget* parent)
    : QWidget(parent, Qt::Dialog), userDir_(userDir) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About ") + core::kProgramTitle);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(core::kProgramTitle, this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(core::versionText(), this);
    version->setObjectName(QStringLiteral("Label2"));
    auto* text = new QLabel(aboutText(), this);
    text->setObjectName(QStringLiteral("Label3"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* okay = new QPushButton(QStringLiteral("Okay"), this);
    okay->setObjectName(QStringLiteral("Command1"));
    connect(okay, &QPushButton::clicked, this, &QWidget::hide);

    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(text);
    layout->addWidget(okay, 0, Qt::AlignRight);
    setFixedWidth(440);
}

QString Form3::aboutText() const {
    return QStringLiteral(
               "Watches the Doppler radar pages of the National Weather Service and keeps the "
               "newest images of one radar site and product as a local loop of up to 20 images. "
               "The loop can be animated forward or rocked, stepped, zoomed, saved and opened "
               "again, and clicks on the images measure a storm's distance, direction, speed and "
               "time of arrival.\n\nYour settings, the current loop and your saved image sets "
               "are kept in:\n") +
           QDir::toNativeSeparators(userDir_);
}

void Form3::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

} // namespace nubivista::auxiliary
