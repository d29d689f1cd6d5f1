#pragma once
// frmPlaces, the Places window: the watcher's places as a table, with fields
// to add a place, change the selected one or delete it, a switch that shows
// the places on the radar picture, and a pick of a point on the picture. It
// is a tool window of the main window; closing it only hides it.
#include "places/places_file.h"

#include <QDialog>
#include <QString>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace nubivista::core {
class MessageService;
class Preferences;
} // namespace nubivista::core

namespace nubivista::radar {
struct GeoPoint;
}

namespace nubivista::places {

// Whether the places show on the radar picture (on when never set).
inline const QString kShowPlacesKey = QStringLiteral("Places/ShowOnPicture");

class frmPlaces : public QDialog {
    Q_OBJECT
public:
    frmPlaces(PlacesFile& places, core::MessageService& messages, core::Preferences& preferences,
              QWidget* parent = nullptr);

    // The menu command: reads the file again, then shows the window in front.
    void showPlaces();

    bool showOnPicture() const;

    // Between "Pick on the picture" and the next click on the picture.
    bool picking() const { return picking_; }
    // The click's point sets the latitude and longitude; nothing when the
    // shown picture has no radar site to reckon from (told to the user).
    void pickedOnPicture(const std::optional<radar::GeoPoint>& point);

    // ---- controls, by their designer names ----
    QTableWidget* ListView1 = nullptr;
    QLineEdit* Text1 = nullptr;      // name
    QLineEdit* Text2 = nullptr;      // latitude
    QLineEdit* Text3 = nullptr;      // longitude
    QLineEdit* Text4 = nullptr;      // alarm radius, miles
    QCheckBox* Check1 = nullptr;     // alarm on
    QCheckBox* Check2 = nullptr;     // show the places on the picture
    QPushButton* Command1 = nullptr; // Add
    QPushButton* Command2 = nullptr; // Edit
    QPushButton* Command3 = nullptr; // Delete
    QPushButton* Command4 = nullptr; // Pick on the picture
    QPushButton* Command5 = nullptr; // Close
    QLabel* Label1 = nullptr;        // what a pick waits for

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void ListView1_SelectionChanged();

signals:
    void showOnPictureChanged(bool shown);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void fillList();
    // The row selected; -1 when none is.
    int selectedRow() const;
    // The place the fields describe; nothing, with the problem told and its
    // field in focus, when it breaks a rule.
    std::optional<Place> placeFromFields();
    void endPick();

    PlacesFile& places_;
    core::MessageService& messages_;
    core::Preferences& preferences_;
    bool picking_ = false;
};

} // namespace nubivista::places
