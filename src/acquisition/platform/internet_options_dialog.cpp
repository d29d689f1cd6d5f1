#include "acquisition/platform/internet_options_dialog.h"

#include "acquisition/platform/internet_layer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace nubivista::platform {

InternetOptionsDialog::InternetOptionsDialog(InternetLayer& layer, QWidget* parent)
    : QDialog(parent), layer_(layer) {
    setObjectName(QStringLiteral("InternetOptionsDialog"));
    setWindowTitle(tr("Internet Options"));

    cacheFolder_ = new QLabel(this);
    cacheFolder_->setObjectName(QStringLiteral("cacheFolderLabel"));
    cacheFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cacheSize_ = new QLabel(this);
    cacheSize_->setObjectName(QStringLiteral("cacheSizeLabel"));
    auto* clear = new QPushButton(tr("&Clear Cache"), this);
    clear->setObjectName(QStringLiteral("clearCacheButton"));
    proxy_ = new QLabel(this);
    proxy_->setObjectName(QStringLiteral("proxyLabel"));
    offline_ = new QCheckBox(tr("Work &Offline"), this);
    offline_->setObjectName(QStringLiteral("offlineCheckBox"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* form = new QFormLayout;
    form->addRow(tr("Cache folder:"), cacheFolder_);
    form->addRow(tr("Cache size:"), cacheSize_);
    form->addRow(QString(), clear);
    form->addRow(tr("Proxy in use:"), proxy_);
    form->addRow(QString(), offline_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(clear, &QPushButton::clicked, this, [this] {
        layer_.clearCache();
        refresh();
    });
    connect(offline_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            layer_.goOffline();
        else
            layer_.goOnline();
    });
    connect(&layer_, &InternetLayer::offlineChanged, offline_, [this](bool on) {
        const QSignalBlocker block(offline_);
        offline_->setChecked(on);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refresh();
}

void InternetOptionsDialog::refresh() {
    const QLocale locale;
    cacheFolder_->setText(QDir::toNativeSeparators(layer_.cacheFolder()));
    cacheSize_->setText(tr("%1 used of %2")
                            .arg(locale.formattedDataSize(layer_.cacheSize()),
                                 locale.formattedDataSize(layer_.cacheMaxBytes())));
    proxy_->setText(layer_.upstreamProxyDescription());
    const QSignalBlocker block(offline_);
    offline_->setChecked(layer_.isOffline());
}

} // namespace nubivista::platform
