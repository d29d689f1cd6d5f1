#include "places/places_file.h"

#include "core/atomic_file.h"
#include "core/message_service.h"

#include <QDir>
#include <QFile>
#include <QWidget>

namespace nubivista::places {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// A file full of unreadable lines is told by its first few.
constexpr int kLinesTold = 5;

} // namespace

PlacesFile::PlacesFile(QString path, core::MessageService& messages, QObject* parent)
    : QObject(parent), path_(std::move(path)), messages_(messages) {}

void PlacesFile::load() {
    QFile file(path_);
    if (!file.exists()) {
        readable_ = true;
        takeText({});
        return;
    }
    QByteArray bytes;
    readable_ = file.open(QIODevice::ReadOnly);
    if (readable_) {
        bytes = file.readAll();
        readable_ = file.error() == QFileDevice::NoError;
    }
    if (!readable_) {
        if (!toldUnreadableFile_) {
            toldUnreadableFile_ = true;
            messages_.ShowMsgWind(1,
                                  kCrLf + kCrLf + QStringLiteral("Your Places Could Not Be Read:") +
                                      kCrLf + QDir::toNativeSeparators(path_) + kCrLf +
                                      file.errorString() + kCrLf +
                                      QStringLiteral("The File Is Left As It Is."),
                                  0);
        }
        return;
    }
    PlacesText text = readPlacesText(bytes);
    const std::vector<UnreadableLine> unreadable = text.unreadable;
    // The places are in place before the message waits for its answer.
    takeText(std::move(text));
    tellUnreadable(unreadable);
}

bool PlacesFile::add(const Place& place) {
    if (placeProblem(place))
        return false;
    PlacesText next = text_;
    next.lines.push_back(placeLine(place));
    if (!write(next))
        return false;
    takeText(std::move(next));
    return true;
}

bool PlacesFile::replace(int index, const Place& place) {
    const int line = lineOf(index);
    if (line < 0 || placeProblem(place))
        return false;
    PlacesText next = text_;
    next.lines[line] = placeLine(place);
    if (!write(next))
        return false;
    takeText(std::move(next));
    return true;
}

bool PlacesFile::remove(int index) {
    const int line = lineOf(index);
    if (line < 0)
        return false;
    PlacesText next = text_;
    next.lines.erase(next.lines.begin() + line);
    if (!write(next))
        return false;
    takeText(std::move(next));
    return true;
}

int PlacesFile::lineOf(int index) const {
    int seen = 0;
    for (int line = 0; line < static_cast<int>(text_.lines.size()); ++line)
        if (text_.lines[line].place && seen++ == index)
            return line;
    return -1;
}

bool PlacesFile::write(const PlacesText& text) {
    const QString where = kCrLf + QDir::toNativeSeparators(path_) + kCrLf;
    if (!readable_) {
        messages_.ShowMsgWind(1,
                              kCrLf + kCrLf +
                                  QStringLiteral("Your Places Could Not Be Read From:") + where +
                                  QStringLiteral("So They Are Not Written Over. Nothing Changed."),
                              0);
        return false;
    }
    const core::WriteOutcome written = core::writeFileAtomically(path_, placesTextBytes(text));
    if (!written.ok)
        messages_.ShowMsgWind(1,
                              kCrLf + kCrLf + QStringLiteral("Your Places Could Not Be Saved In:") +
                                  where + written.error + kCrLf +
                                  QStringLiteral("The File Keeps The Places It Had."),
                              0);
    return written.ok;
}

void PlacesFile::tellUnreadable(const std::vector<UnreadableLine>& lines) {
    QStringList told;
    for (const UnreadableLine& line : lines)
        if (!toldLines_.contains(line.text)) {
            toldLines_.insert(line.text);
            told << QStringLiteral("Line %1: %2").arg(line.number).arg(line.problem);
        }
    if (told.isEmpty())
        return;
    const qsizetype more = told.size() - kLinesTold;
    if (more > 0) {
        told.resize(kLinesTold);
        told << QStringLiteral("And %1 More.").arg(more);
    }
    const bool one = told.size() == 1;
    messages_.ShowMsgWind(
        1,
        kCrLf + kCrLf +
            (one ? QStringLiteral("A Line Of Your Places Could Not Be Read:")
                 : QStringLiteral("Some Lines Of Your Places Could Not Be Read:")) +
            kCrLf + QDir::toNativeSeparators(path_) + kCrLf + told.join(kCrLf) + kCrLf +
            (one ? QStringLiteral("It Is Kept In The File As It Is.")
                 : QStringLiteral("They Are Kept In The File As They Are.")),
        0);
}

void PlacesFile::takeText(PlacesText text) {
    text_ = std::move(text);
    std::vector<Place> places;
    for (const PlacesLine& line : text_.lines)
        if (line.place)
            places.push_back(*line.place);
    if (places == places_)
        return;
    places_ = std::move(places);
    emit placesChanged();
}

} // namespace nubivista::places
