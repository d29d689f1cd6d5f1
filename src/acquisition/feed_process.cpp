#include "acquisition/feed_process.h"

#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace nubivista::acquisition {

namespace {
constexpr int kRunLongEnoughMs = 60'000; // a run this long starts the pauses afresh
constexpr int kStopWaitMs = 3000;
constexpr int kReadyWaitMs = 30'000;
constexpr qsizetype kErrorTailBytes = 2000;
constexpr qsizetype kLongestLine = 4096;
} // namespace

QString feedProblemPageHtml(const QString& problem) {
    QString body = problem.toHtmlEscaped();
    body.replace(QLatin1Char('\n'), QStringLiteral("<br>\n"));
    return QStringLiteral(
               "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
               "<title>The radar feed did not start</title>\n</head>\n"
               "<body style=\"font-family: sans-serif; margin: 2em\">\n"
               "<h2>No radar pictures: the radar feed did not start</h2>\n<p>%1</p>\n"
               "<p>The national map and the radar pictures come from that program, which is "
               "installed beside Nubivista. Installing Nubivista again puts it back. The "
               "program keeps trying to start it, and shows the map once it is ready.</p>\n"
               "<p>A feed that already runs elsewhere can be used instead: start Nubivista "
               "with <code>--feed http://127.0.0.1:PORT/</code>.</p>\n</body>\n</html>\n")
        .arg(body);
}

quint16 portFromReadyLine(const QByteArray& line) {
    static const QByteArray prefix = "nubivista-feed listening on http://127.0.0.1:";
    QByteArray text = line.trimmed();
    if (!text.startsWith(prefix) || !text.endsWith('/'))
        return 0;
    text = text.mid(prefix.size(), text.size() - prefix.size() - 1);
    bool ok = false;
    const uint port = text.toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : 0;
}

FeedProcess::FeedProcess(QString program, QStringList arguments, QObject* parent)
    : QObject(parent), program_(std::move(program)), arguments_(std::move(arguments)) {
    arguments_ << QStringLiteral("--port") << QStringLiteral("0");
    restartTimer_.setSingleShot(true);
    readyTimer_.setSingleShot(true);
    readyTimer_.setInterval(kReadyWaitMs);
    connect(&readyTimer_, &QTimer::timeout, this, &FeedProcess::endSilentFeed);
    connect(&restartTimer_, &QTimer::timeout, this, &FeedProcess::launch);
    connect(&process_, &QProcess::readyReadStandardOutput, this, &FeedProcess::onReadyRead);
    connect(&process_, &QProcess::readyReadStandardError, this, [this] {
        const QByteArray text = process_.readAllStandardError();
        // The feed's own complaints reach the terminal the program runs in.
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
        errorTail_ = (errorTail_ + text).right(kErrorTailBytes);
    });
    connect(&process_, &QProcess::finished, this, &FeedProcess::onFinished);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onFailedToStart();
    });
    // The feed reads nothing from the program: an open pipe it might wait on
    // would hold it up for good.
    process_.setStandardInputFile(QProcess::nullDevice());
    // A program that dies without closing still takes its feed with it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

FeedProcess::~FeedProcess() {
    stop();
}

void FeedProcess::start() {
    if (state_ != State::NotStarted)
        return;
    const QFileInfo file(program_);
    if (!file.exists() || !file.isFile()) {
        problem_ = tr("The radar feed program was not found. The program looked for it at:\n%1")
                       .arg(program_);
        state_ = State::CannotStart;
        scheduleRestart(); // it may be put back while the program runs
        emit cannotStart(problem_);
        return;
    }
    if (!file.isExecutable()) {
        problem_ =
            tr("The radar feed program may not be run (it is not executable):\n%1").arg(program_);
        state_ = State::CannotStart;
        scheduleRestart(); // it may be put back while the program runs
        emit cannotStart(problem_);
        return;
    }
    launch();
}

void FeedProcess::stop() {
    restartTimer_.stop();
    readyTimer_.stop();
    state_ = State::Stopped;
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(kStopWaitMs)) {
        process_.kill();
        process_.waitForFinished(kStopWaitMs);
    }
}

void FeedProcess::scheduleRestart() {
    const int doublings = std::min(failures_, 16);
    restartTimer_.start(static_cast<int>(
        std::min<qint64>(static_cast<qint64>(firstPauseMs_) << doublings, longestPauseMs_)));
    ++failures_;
}

void FeedProcess::setPauses(int firstMs, int longestMs) {
    firstPauseMs_ = std::max(1, firstMs);
    longestPauseMs_ = std::max(firstPauseMs_, longestMs);
}

void FeedProcess::launch() {
    if (state_ == State::Stopped)
        return;
    if (state_ != State::CannotStart)
        state_ = State::Starting;
    pendingLine_.clear();
    errorTail_.clear();
    process_.start(program_, arguments_, QIODevice::ReadOnly);
    readyTimer_.start();
}

void FeedProcess::onReadyRead() {
    pendingLine_ += process_.readAllStandardOutput();
    if (state_ == State::Ready) {
        pendingLine_.clear(); // the feed says nothing more that matters
        return;
    }
    const qsizetype end = pendingLine_.indexOf('\n');
    if (end < 0) {
        if (pendingLine_.size() > kLongestLine)
            pendingLine_.clear();
        return;
    }
    const quint16 port = portFromReadyLine(pendingLine_.left(end));
    pendingLine_.clear();
    if (port == 0) {
        endSilentFeed();
        return;
    }
    readyTimer_.stop();
    address_ = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    state_ = State::Ready;
    everReady_ = true;
    problem_.clear();
    upSince_.start();
    emit ready(address_);
}

void FeedProcess::endSilentFeed() {
    errorTail_ += "It did not say where it listens.\n";
    process_.kill(); // ends in onFinished, and a later try
}

void FeedProcess::onFinished() {
    readyTimer_.stop();
    errorTail_ = (errorTail_ + process_.readAllStandardError()).right(kErrorTailBytes);
    if (state_ == State::Stopped)
        return;
    if (state_ == State::Ready && upSince_.isValid() && upSince_.elapsed() >= kRunLongEnoughMs)
        failures_ = 0;
    const bool firstStartFailed = !everReady_ && state_ != State::CannotStart;
    scheduleRestart();
    if (firstStartFailed) {
        // It is there but ends before it is ready (no boundary file, say):
        // the user is told, and the program keeps trying.
        problem_ = tr("The radar feed program ended before it was ready. The program ran:\n%1\n%2")
                       .arg(program_, QString::fromLocal8Bit(errorTail_).trimmed());
        state_ = State::CannotStart;
        emit cannotStart(problem_);
        return;
    }
    if (state_ != State::CannotStart)
        state_ = State::Restarting;
    emit down();
}

void FeedProcess::onFailedToStart() {
    readyTimer_.stop();
    if (state_ == State::Stopped)
        return;
    problem_ = tr("The radar feed program could not be started (%1). The program looked for it "
                  "at:\n%2")
                   .arg(process_.errorString(), program_);
    const bool first = !everReady_ && state_ != State::CannotStart;
    state_ = State::CannotStart;
    scheduleRestart();
    if (first)
        emit cannotStart(problem_);
    else
        emit down();
}

} // namespace nubivista::acquisition
