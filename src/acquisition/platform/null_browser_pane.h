#pragma once
// A pane that loads nothing and shows nothing: for programs that draw the
// main window without a browser engine (benchmarks, screenshots). It keeps
// the address it was sent to.
#include "acquisition/platform/browser_pane.h"

namespace nubivista::platform {

class NullBrowserPane final : public BrowserPane {
public:
    using BrowserPane::BrowserPane;

    void navigate(const QUrl& address, const QString& = {}) override { current_ = address; }
    void refresh() override {}
    void stop() override {}
    QUrl currentAddress() const override { return current_; }
    bool silent() const override { return true; }
    void setSilent(bool) override {}

private:
    QUrl current_;
};

} // namespace nubivista::platform
