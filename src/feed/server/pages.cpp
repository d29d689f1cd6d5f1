#include "feed/server/pages.h"

#include <QDateTime>
#include <QStringList>

namespace nubivista::feed::server {

namespace {

const QString kStormTotalSuffix = QStringLiteral("_storm_total_precip_r0.gif");

QString suffixFor(const Product& product) {
    return product.kind == radar::ProductKind::StormTotalRainfall ? kStormTotalSuffix
                                                                  : QStringLiteral(".gif");
}

QByteArray htmlEscaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QString frameName(const Product& product, qint64 frameSeconds) {
    const QDateTime time = QDateTime::fromSecsSinceEpoch(frameSeconds, Qt::UTC);
    return QStringLiteral("sn_") + time.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral("_at_") + time.toString(QStringLiteral("HHmmss")) + suffixFor(product);
}

std::optional<qint64> parseFrameName(const Product& product, const QString& name) {
    const QString suffix = suffixFor(product);
    if (!name.startsWith(QStringLiteral("sn_")) || !name.endsWith(suffix) ||
        name.size() != 21 + suffix.size()) {
        return std::nullopt;
    }
    const QString stamp = name.mid(3, 8) + name.mid(15, 6);
    QDateTime time = QDateTime::fromString(stamp, QStringLiteral("yyyyMMddHHmmss"));
    if (!time.isValid()) {
        return std::nullopt;
    }
    time.setTimeSpec(Qt::UTC);
    const qint64 seconds = time.toSecsSinceEpoch();
    // Only the canonical spelling of a time is a frame name.
    if (frameName(product, seconds) != name) {
        return std::nullopt;
    }
    return seconds;
}

QString imagePath(const Product& product, const Site& site, qint64 frameSeconds) {
    return QStringLiteral("images/") + product.codeString() + QStringLiteral("/SI.") +
           QString(site.code) + QLatin1Char('/') + frameName(product, frameSeconds);
}

QByteArray loopList(const Product& product, const Site& site,
                    const std::vector<qint64>& frameSeconds, const LoopListOptions& options) {
    const QByteArray lineEnd = options.crlf ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray list;
    for (std::size_t i = options.nineLines ? 1 : 0; i < frameSeconds.size(); ++i) {
        QByteArray line = imagePath(product, site, frameSeconds[i]).toLatin1();
        if (options.badDate) {
            // Characters 28-31 of the path hold the year; make it "20X6".
            line[29] = 'X';
        }
        list += line + lineEnd;
    }
    return list;
}

// Which of the six pictures the radar has, each a link to its page, and
// which it has not: an airport's radar publishes fewer than the network's.
static QByteArray publishedPictures(const Site& site) {
    QByteArray has;
    QByteArray hasNot;
    for (const Product& other : radar::RadarProductCodes) {
        const QByteArray name = other.productName().toLatin1();
        if (other.sourcesFor(site.type).empty()) {
            hasNot += (hasNot.isEmpty() ? "" : ", ") + name;
            continue;
        }
        has += (has.isEmpty() ? "" : " | ") + QByteArray("<a href=\"/radar/latest/") +
               other.codeString().toLatin1() + "/si." + site.code.data() + ".shtml\">" + name +
               "</a>";
    }
    QByteArray html = "<p>" + QByteArray(site.code.data()).toUpper() + " publishes: " + has;
    if (!hasNot.isEmpty())
        html += "<br>It publishes no " + hasNot + " product.";
    return html + "</p>\n";
}

QByteArray latestPageHtml(const Product& product, const Site& site) {
    const QByteArray code = product.codeString().toLatin1();
    const QByteArray siteCode = site.code.data();
    const QByteArray title = htmlEscaped(site.stationTitle()) + " - " + product.caption.data();
    return "<!DOCTYPE html>\n<html>\n<head>\n<title>" + title +
           "</title>\n</head>\n<body bgcolor=\"#ffffff\">\n<h3>" + title +
           "</h3>\n<img src=\"/radar/images/" + code + "/SI." + siteCode +
           "/latest.gif\" width=\"600\" height=\"550\" alt=\"" + title +
           "\">\n<p><a href=\"/radar/loop/" + code + "/si." + siteCode +
           ".shtml\">Loop of the last ten images</a> | <a "
           "href=\"http://weather.noaa.gov/radar/national.html\">National map</a></p>\n" +
           publishedPictures(site) + "</body>\n</html>\n";
}

QByteArray loopPageHtml(const Product& product, const Site& site) {
    const QByteArray code = product.codeString().toLatin1();
    const QByteArray siteCode = site.code.data();
    const QByteArray title =
        htmlEscaped(site.stationTitle()) + " - " + product.caption.data() + " loop";
    // The list is read while the page is parsed and its images are written into the
    // page, so the page finishes loading only once the list and all ten images are
    // in the browser's cache: a client that waits for the page waits for them too.
    return "<!DOCTYPE html>\n<html>\n<head>\n<title>" + title +
           "</title>\n<script type=\"text/javascript\">\n"
           "var frames = [];\nvar current = 0;\n"
           "var request = new XMLHttpRequest();\n"
           "request.open(\"GET\", \"/radar/loopdata/" +
           code + "/" + siteCode +
           ".txt\", false);\n"
           "try { request.send(null); } catch (e) {}\n"
           "if (request.status == 200) {\n"
           "  var lines = request.responseText.split(\"\\n\");\n"
           "  for (var i = 0; i < lines.length; i++) {\n"
           "    var at = lines[i].indexOf(\"images/\");\n"
           "    if (at >= 0) frames.push(\"/radar/\" + lines[i].substring(at));\n"
           "  }\n"
           "}\n"
           "function showNext() {\n"
           "  current = (current + 1) % frames.length;\n"
           "  document.getElementById(\"loopimage\").src = frames[current];\n"
           "}\n"
           "function startLoop() {\n"
           "  var loaded = 0;\n"
           "  for (var i = 0; i < document.images.length; i++) {\n"
           "    if (document.images[i].className == \"frame\" && "
           "document.images[i].naturalWidth > 0) loaded++;\n"
           "  }\n"
           "  document.getElementById(\"status\").textContent =\n"
           "    loaded + \" of \" + frames.length + \" images loaded\";\n"
           "  if (frames.length > 0) setInterval(showNext, 500);\n"
           "}\n"
           "</script>\n</head>\n<body bgcolor=\"#ffffff\" onload=\"startLoop()\">\n<h3>" +
           title + "</h3>\n<img id=\"loopimage\" src=\"/radar/images/" + code + "/SI." + siteCode +
           "/latest.gif\" width=\"600\" height=\"550\" alt=\"" + title +
           "\">\n<p id=\"status\">Loading the loop</p>\n<div style=\"display:none\">\n"
           "<script type=\"text/javascript\">\n"
           "for (var i = 0; i < frames.length; i++)\n"
           "  document.write(\"<img class=\\\"frame\\\" src=\\\"\" + frames[i] + \"\\\" "
           "alt=\\\"\\\">\");\n"
           "</script>\n</div>\n<p><a href=\"/radar/latest/" +
           code + "/si." + siteCode + ".shtml\">Latest image</a></p>\n</body>\n</html>\n";
}

} // namespace nubivista::feed::server
