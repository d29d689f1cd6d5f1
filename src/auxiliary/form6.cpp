#include "auxiliary/form6.h"

#include <QLabel>
#include <QVBoxLayout>

namespace nubivista::auxiliary {

Form6::Form6(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Suggestions And Bugs"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Tell us what would make the program better, or what went wrong."), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    resize(420, 160);
}

bool Form6::showOnce() {
    if (isVisible())
        return false;
    show();
    return true;
}

} // namespace nubivista::auxiliary
