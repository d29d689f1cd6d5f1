#pragma once
// The About window: the program's title and version, what it does and where
// it keeps the user's data. Closing it only hides it.
#include <QWidget>

namespace nubivista::auxiliary {

class Form3 : public QWidget {
    Q_OBJECT
public:
    // userDir: the folder of the settings, the loop and the saved sets.
    explicit Form3(const QString& userDir, QWidget* parent = nullptr);

    QString aboutText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString userDir_;
};

} // namespace nubivista::auxiliary
