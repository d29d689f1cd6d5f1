#pragma once
// The watcher's places, as Places.tsv in the user folder holds them: read at
// start and whenever the Places window opens, and written whole (atomically)
// at every change. A line the program cannot read is kept in the file and
// told to the user once; a change that cannot be written is told and not
// made, so the file and the places stay as they were.
//
// Whoever watches the places (an alarm, the picture's marks) reads places()
// and follows placesChanged().
#include "places/places_text.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <vector>

namespace nubivista::core {
class MessageService;
}

namespace nubivista::places {

class PlacesFile : public QObject {
    Q_OBJECT
public:
    PlacesFile(QString path, core::MessageService& messages, QObject* parent = nullptr);

    const QString& path() const { return path_; }

    // Reads the file again; a missing file holds no places.
    void load();

    // The places in the file's order.
    const std::vector<Place>& places() const { return places_; }

    // Each change writes the file at once. False, with nothing changed, for
    // a place that breaks a rule (see placeProblem), an index outside
    // places(), or a write that failed (told to the user).
    bool add(const Place& place);
    bool replace(int index, const Place& place);
    bool remove(int index);

signals:
    // The places changed: by a change here, or because the file read
    // differently.
    void placesChanged();

private:
    // The line of place index in text_.lines; -1 when there is none.
    int lineOf(int index) const;
    bool write(const PlacesText& text);
    void tellUnreadable(const std::vector<UnreadableLine>& lines);
    void takeText(PlacesText text);

    QString path_;
    core::MessageService& messages_;
    PlacesText text_;
    std::vector<Place> places_;
    // A file that exists but could not be read is never written over.
    bool readable_ = true;
    QSet<QByteArray> toldLines_;
    bool toldUnreadableFile_ = false;
};

} // namespace nubivista::places
