#pragma once
// The Internet layer's own options dialog: where the cache is and how full,
// a button that empties it, the proxy the layer uses, and the offline switch.
#include <QDialog>

class QCheckBox;
class QLabel;

namespace nubivista::platform {

class InternetLayer;

class InternetOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit InternetOptionsDialog(InternetLayer& layer, QWidget* parent = nullptr);

    void refresh();

private:
    InternetLayer& layer_;
    QLabel* cacheFolder_ = nullptr;
    QLabel* cacheSize_ = nullptr;
    QLabel* proxy_ = nullptr;
    QCheckBox* offline_ = nullptr;
};

} // namespace nubivista::platform
