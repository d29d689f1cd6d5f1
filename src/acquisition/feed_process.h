#pragma once
// The program's own feed: nubivista-feed as a child process on a free loopback
// port. The child says where it listens on its first line; until then, and
// while it is down, the radar servers cannot be reached. A child that ends is
// started again after a pause that doubles up to a minute; one that has run
// for a minute starts the count afresh. The child ends with the program, even
// when the program itself is killed.
#include "acquisition/feed_choice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace nubivista::acquisition {

// The local page the map pane shows when the feed cannot start: the problem
// in plain words and what the user can do.
QString feedProblemPageHtml(const QString& problem);

// The feed's first line, "nubivista-feed listening on http://127.0.0.1:N/",
// read as the port; 0 for any other line.
quint16 portFromReadyLine(const QByteArray& line);

class FeedProcess : public QObject {
    Q_OBJECT
public:
    enum class State { NotStarted, Starting, Ready, Restarting, CannotStart, Stopped };

    // program: the feed's executable; arguments: its source (the port is added).
    FeedProcess(QString program, QStringList arguments, QObject* parent = nullptr);
    ~FeedProcess() override;

    void start();
    // Ends the child and starts no other.
    void stop();

    State state() const { return state_; }
    // Where the feed listens once ready (the last address while it is down).
    QUrl address() const { return address_; }
    // Why the feed did not start: in plain words, with where it was looked for.
    QString problem() const { return problem_; }
    QString program() const { return program_; }
    qint64 childPid() const { return process_.processId(); }
    // The end of what the running feed wrote on stderr (its request log with --log).
    QByteArray recentErrorOutput() const { return errorTail_; }
    // The pause before the start that follows a failure, in milliseconds.
    int restartPauseMs() const { return restartTimer_.interval(); }
    // Tests shorten the pauses: the first pause and the longest.
    void setPauses(int firstMs, int longestMs);

signals:
    void ready(const QUrl& address);
    // The child ended; it starts again after restartPauseMs().
    void down();
    // The first start failed; the program goes on trying after the pauses.
    void cannotStart(const QString& problem);

private:
    void launch();
    // Waits a pause that doubles with every failure, up to the longest.
    void scheduleRestart();
    void onReadyRead();
    void onFinished();
    void onFailedToStart();
    // A feed that never says where it listens is ended, and tried again.
    void endSilentFeed();

    QString program_;
    QStringList arguments_;
    QProcess process_;
    QTimer restartTimer_;
    QTimer readyTimer_; // a feed that never says where it listens is ended
    QElapsedTimer upSince_;
    QByteArray pendingLine_;
    QByteArray errorTail_; // kept short
    State state_ = State::NotStarted;
    QUrl address_;
    QString problem_;
    int failures_ = 0;
    bool everReady_ = false;
    int firstPauseMs_ = 1000;
    int longestPauseMs_ = 60'000;
};

} // namespace nubivista::acquisition
