#include "feed/nws/status_page.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nubivista::feed::nws {

namespace {

QJsonValue isoTime(const QDateTime& time) {
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

QJsonValue answerJson(const std::optional<UpstreamAnswer>& answer) {
    if (!answer)
        return QJsonValue();
    QJsonObject object;
    object[QStringLiteral("upstream")] = upstreamName(answer->upstream);
    object[QStringLiteral("status")] = answer->status;
    object[QStringLiteral("reason")] = answer->reason;
    object[QStringLiteral("at")] = isoTime(answer->at);
    return object;
}

QJsonObject productState(const ProductPoller& poller, const QDateTime& now) {
    QJsonObject entry;
    entry[QStringLiteral("site")] = QString(poller.site().code);
    entry[QStringLiteral("product")] = QString(poller.product().code);
    const std::optional<radar::Level3Source> source = poller.chosenSource();
    entry[QStringLiteral("level3")] = source ? QJsonValue(QString(source->awips)) : QJsonValue();
    entry[QStringLiteral("directory")] =
        source ? QJsonValue(QString(source->directory)) : QJsonValue();
    const std::optional<Upstream> from = poller.newestFrom();
    entry[QStringLiteral("from")] = from ? QJsonValue(upstreamName(*from)) : QJsonValue();
    const Scan* newest = poller.scans().latest();
    entry[QStringLiteral("newestScan")] = newest ? isoTime(newest->time) : QJsonValue();
    entry[QStringLiteral("newestScanAgeSeconds")] =
        newest ? QJsonValue(newest->time.secsTo(now)) : QJsonValue();
    entry[QStringLiteral("lastAnswer")] = answerJson(poller.lastAnswer());
    QJsonObject each;
    each[QStringLiteral("tree")] = answerJson(poller.lastAnswerOf(Upstream::Tree));
    each[QStringLiteral("archive")] = answerJson(poller.lastAnswerOf(Upstream::Archive));
    entry[QStringLiteral("answers")] = each;
    entry[QStringLiteral("nextAsk")] = isoTime(poller.nextAsk());
    entry[QStringLiteral("failing")] = poller.failing();
    entry[QStringLiteral("error")] = poller.lastError();
    entry[QStringLiteral("summary")] = poller.summary();
    entry[QStringLiteral("reason")] = poller.watcherReason();
    entry[QStringLiteral("unreachable")] = poller.unreachable();
    return entry;
}

QJsonObject warningsState(const AlertsPoller& poller, const QDateTime& now) {
    QJsonObject entry;
    entry[QStringLiteral("areas")] = poller.areas().join(QLatin1Char(','));
    entry[QStringLiteral("fetched")] = isoTime(poller.fetched());
    entry[QStringLiteral("warningsHeld")] = qint64(poller.warnings(now).size());
    entry[QStringLiteral("lastStatus")] =
        poller.lastAsked().isValid() ? QJsonValue(poller.lastStatus()) : QJsonValue();
    entry[QStringLiteral("nextAsk")] = isoTime(poller.nextAsk());
    entry[QStringLiteral("failing")] = poller.failing();
    entry[QStringLiteral("error")] = poller.lastError();
    entry[QStringLiteral("reason")] = poller.watcherReason();
    return entry;
}

QString age(qint64 seconds) {
    if (seconds < 120)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 2 * 3600)
        return QStringLiteral("%1 min").arg(seconds / 60);
    return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds / 60 % 60);
}

QString cell(const QJsonValue& value) {
    return value.isNull() || value.isUndefined() ? QStringLiteral("-")
                                                 : value.toVariant().toString().toHtmlEscaped();
}

} // namespace

bool weatherServiceReachable(const FeedState& state) {
    const ProductPoller* latest = nullptr;
    for (const ProductPoller* poller : state.products)
        if (latest == nullptr || poller->lastAsked() > latest->lastAsked())
            latest = poller;
    return latest == nullptr || !latest->unreachable();
}

QByteArray statusJson(const FeedState& state) {
    QJsonObject root;
    root[QStringLiteral("version")] = QStringLiteral(NUBIVISTA_FEED_VERSION);
    root[QStringLiteral("source")] = QStringLiteral("live");
    root[QStringLiteral("now")] = isoTime(state.now);
    root[QStringLiteral("uptimeSeconds")] = state.uptimeSeconds;
    root[QStringLiteral("cacheBytes")] = state.cacheBytes;
    root[QStringLiteral("weatherServiceReachable")] = weatherServiceReachable(state);
    QJsonArray products;
    for (const ProductPoller* poller : state.products)
        products.append(productState(*poller, state.now));
    root[QStringLiteral("products")] = products;
    QJsonArray warnings;
    for (const AlertsPoller* poller : state.warnings)
        warnings.append(warningsState(*poller, state.now));
    root[QStringLiteral("warnings")] = warnings;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray statusHtml(const FeedState& state) {
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Radar feed status</title>\n<style>body{font-family:sans-serif}"
        "table{border-collapse:collapse}td,th{border:1px solid #999;padding:2px 6px;"
        "text-align:left;vertical-align:top}.failing{background:#fdd}</style>\n</head>\n<body>\n");
    html += QStringLiteral("<h3>Radar feed status</h3>\n<p>nubivista-feed %1, up %2; %3 KB of "
                           "pictures kept; now %4. The same as JSON: "
                           "<a href=\"/status.json\">/status.json</a>.</p>\n")
                .arg(QStringLiteral(NUBIVISTA_FEED_VERSION), age(state.uptimeSeconds))
                .arg(state.cacheBytes / 1024)
                .arg(state.now.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")));
    if (state.products.empty()) {
        html += QStringLiteral("<p>No radar has been asked for since the feed started.</p>\n");
    } else {
        html += QStringLiteral(
            "<table>\n<tr><th>Site</th><th>Picture</th><th>Level III</th><th>From</th>"
            "<th>Newest scan</th><th>Age</th><th>Last answer</th><th>Next ask</th></tr>\n");
        for (const ProductPoller* poller : state.products) {
            const QJsonObject e = productState(*poller, state.now);
            QString answer;
            for (const Upstream upstream : {Upstream::Tree, Upstream::Archive}) {
                const std::optional<UpstreamAnswer> last = poller->lastAnswerOf(upstream);
                if (!last)
                    continue;
                answer += (answer.isEmpty() ? QString() : QStringLiteral("<br>")) +
                          QStringLiteral("%1: %2 (%3, %4)")
                              .arg(upstreamName(upstream), last->reason.toHtmlEscaped())
                              .arg(last->status)
                              .arg(last->at.toUTC().toString(QStringLiteral("HH:mm:ss")));
            }
            if (answer.isEmpty())
                answer = QStringLiteral("-");
            const QJsonValue ageSeconds = e[QStringLiteral("newestScanAgeSeconds")];
            html +=
                QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4 %5</td><td>%6</td>"
                               "<td>%7</td><td>%8</td><td>%9</td>")
                    .arg(poller->failing() ? QStringLiteral(" class=\"failing\"") : QString(),
                         QString(poller->site().code).toUpper(), poller->product().productName(),
                         cell(e[QStringLiteral("level3")]), cell(e[QStringLiteral("directory")]),
                         cell(e[QStringLiteral("from")]), cell(e[QStringLiteral("newestScan")]),
                         ageSeconds.isNull() ? QStringLiteral("-") : age(ageSeconds.toInteger()),
                         answer);
            html += QStringLiteral("<td>%1</td></tr>\n").arg(cell(e[QStringLiteral("nextAsk")]));
            if (poller->failing())
                html += QStringLiteral(
                            "<tr class=\"failing\"><td></td><td colspan=\"7\">%1</td></tr>\n")
                            .arg(poller->lastError().toHtmlEscaped());
        }
        html += QStringLiteral("</table>\n");
    }
    if (!state.warnings.empty()) {
        html += QStringLiteral("<h4>Warnings</h4>\n<table>\n<tr><th>Areas</th><th>Fetched</th>"
                               "<th>In force</th><th>Last answer</th><th>Next ask</th></tr>\n");
        for (const AlertsPoller* poller : state.warnings) {
            const QJsonObject e = warningsState(*poller, state.now);
            html +=
                QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4</td><td>%5</td>"
                               "<td>%6</td></tr>\n")
                    .arg(poller->failing() ? QStringLiteral(" class=\"failing\"") : QString(),
                         cell(e[QStringLiteral("areas")]), cell(e[QStringLiteral("fetched")]),
                         cell(e[QStringLiteral("warningsHeld")]),
                         cell(e[QStringLiteral("lastStatus")]), cell(e[QStringLiteral("nextAsk")]));
            if (poller->failing())
                html += QStringLiteral(
                            "<tr class=\"failing\"><td></td><td colspan=\"4\">%1</td></tr>\n")
                            .arg(poller->lastError().toHtmlEscaped());
        }
        html += QStringLiteral("</table>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace nubivista::feed::nws
