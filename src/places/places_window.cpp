#include "places/places_window.h"

#include "core/app_identity.h"
#include "core/message_service.h"
#include "core/preferences.h"
#include "radar/geometry.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace nubivista::places {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kPickHint = QStringLiteral("Click the place on the radar picture...");

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* field(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// A picked point to about ten metres; a pixel of the picture is half a mile.
QString pickedText(double degrees) {
    return placeNumberText(std::round(degrees * 1e4) / 1e4);
}

} // namespace

frmPlaces::frmPlaces(PlacesFile& places, core::MessageService& messages,
                     core::Preferences& preferences, QWidget* parent)
    : QDialog(parent), places_(places), messages_(messages), preferences_(preferences) {
    setObjectName(QStringLiteral("frmPlaces"));
    setWindowTitle(QStringLiteral("Places"));
    buildControls();
    fillList();
    connect(&places_, &PlacesFile::placesChanged, this, &frmPlaces::fillList);
}

void frmPlaces::buildControls() {
    ListView1 = new QTableWidget(0, 5, this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Latitude"),
                                          QStringLiteral("Longitude"),
                                          QStringLiteral("Radius (Mi)"), QStringLiteral("Alarm")});
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->verticalHeader()->hide();
    ListView1->horizontalHeader()->setStretchLastSection(true);
    connect(ListView1, &QTableWidget::itemSelectionChanged, this,
            &frmPlaces::ListView1_SelectionChanged);

    Text1 = field(QStringLiteral("Text1"), this);
    Text2 = field(QStringLiteral("Text2"), this);
    Text3 = field(QStringLiteral("Text3"), this);
    Text4 = field(QStringLiteral("Text4"), this);
    Check1 = new QCheckBox(QStringLiteral("Alarm On"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Name:"), Text1);
    fields->addRow(QStringLiteral("Latitude (degrees north):"), Text2);
    fields->addRow(QStringLiteral("Longitude (degrees east):"), Text3);
    fields->addRow(QStringLiteral("Alarm radius (miles):"), Text4);
    fields->addRow(QString(), Check1);

    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Add"), this);
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("Edit"), this);
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("Delete"), this);
    Command4 = button(QStringLiteral("Command4"), QStringLiteral("Pick on the picture"), this);
    Command5 = button(QStringLiteral("Command5"), QStringLiteral("Close"), this);
    Command1->setToolTip(QStringLiteral("Add The Place The Fields Describe"));
    Command2->setToolTip(QStringLiteral("Change The Selected Place To What The Fields Say"));
    Command4->setToolTip(QStringLiteral("The Next Click On The Radar Picture Sets The Latitude "
                                        "And Longitude"));
    connect(Command1, &QPushButton::clicked, this, &frmPlaces::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlaces::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlaces::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmPlaces::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &QWidget::hide);

    Check2 = new QCheckBox(QStringLiteral("Show Places On The Picture"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setChecked(preferences_.flag(kShowPlacesKey, true));
    connect(Check2, &QCheckBox::toggled, this, [this](bool shown) {
        // A failed write keeps the choice for this run only.
        preferences_.setFlag(kShowPlacesKey, shown);
        emit showOnPictureChanged(shown);
    });
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* edits = new QHBoxLayout;
    edits->addWidget(Command1);
    edits->addWidget(Command2);
    edits->addWidget(Command3);
    edits->addStretch(1);
    edits->addWidget(Command4);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Check2);
    bottom->addStretch(1);
    bottom->addWidget(Command5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1, 1);
    layout->addLayout(fields);
    layout->addLayout(edits);
    layout->addWidget(Label1);
    layout->addLayout(bottom);
    resize(560, 460);
}

void frmPlaces::showPlaces() {
    places_.load();
    show();
    raise();
    activateWindow();
}

bool frmPlaces::showOnPicture() const {
    return Check2->isChecked();
}

void frmPlaces::fillList() {
    const int keep = selectedRow();
    const std::vector<Place>& list = places_.places();
    ListView1->setRowCount(static_cast<int>(list.size()));
    for (int row = 0; row < static_cast<int>(list.size()); ++row) {
        const Place& p = list[row];
        const QString texts[] = {p.name, placeNumberText(p.latitude), placeNumberText(p.longitude),
                                 placeNumberText(p.radiusMiles),
                                 p.alarmOn ? QStringLiteral("On") : QStringLiteral("Off")};
        for (int column = 0; column < 5; ++column)
            ListView1->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    if (keep >= 0 && keep < ListView1->rowCount())
        ListView1->selectRow(keep);
    ListView1_SelectionChanged();
}

int frmPlaces::selectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = ListView1->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void frmPlaces::ListView1_SelectionChanged() {
    const int row = selectedRow();
    Command2->setEnabled(row >= 0);
    Command3->setEnabled(row >= 0);
    if (row < 0 || row >= static_cast<int>(places_.places().size()))
        return;
    const Place& p = places_.places()[row];
    Text1->setText(p.name);
    Text2->setText(placeNumberText(p.latitude));
    Text3->setText(placeNumberText(p.longitude));
    Text4->setText(placeNumberText(p.radiusMiles));
    Check1->setChecked(p.alarmOn);
}

std::optional<Place> frmPlaces::placeFromFields() {
    Place place{Text1->text().trimmed(), placeNumber(Text2->text()), placeNumber(Text3->text()),
                placeNumber(Text4->text()), Check1->isChecked()};
    const std::optional<PlaceProblem> problem = placeProblem(place);
    if (!problem)
        return place;
    messages_.ShowMsgWind(1, kCrLf + kCrLf + problem->text, 0);
    QLineEdit* const edits[] = {Text1, Text2, Text3, Text4};
    QLineEdit* edit = edits[static_cast<int>(problem->field)];
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

void frmPlaces::Command1_Click() {
    const std::optional<Place> place = placeFromFields();
    if (place && places_.add(*place))
        ListView1->selectRow(ListView1->rowCount() - 1);
}

void frmPlaces::Command2_Click() {
    const int row = selectedRow();
    if (row < 0)
        return;
    if (const std::optional<Place> place = placeFromFields())
        places_.replace(row, *place);
}

void frmPlaces::Command3_Click() {
    const int row = selectedRow();
    if (row < 0 || row >= static_cast<int>(places_.places().size()))
        return;
    const QString question = kCrLf + kCrLf + QStringLiteral("Do You Want To Delete The Place") +
                             kCrLf + QLatin1Char('"') + places_.places()[row].name +
                             QStringLiteral("\"?");
    if (messages_.ShowMsgWind(4, question, 0) == core::MsgYes)
        places_.remove(row);
}

void frmPlaces::Command4_Click() {
    picking_ = true;
    Label1->setText(kPickHint);
}

void frmPlaces::pickedOnPicture(const std::optional<radar::GeoPoint>& point) {
    endPick();
    if (!point) {
        messages_.ShowMsgWind(1,
                              kCrLf + kCrLf +
                                  QStringLiteral("The Picture Shown Names No Radar Site,") + kCrLf +
                                  QStringLiteral("So Its Points Have No Latitude And Longitude."),
                              0);
        return;
    }
    Text2->setText(pickedText(point->latitude));
    Text3->setText(pickedText(point->longitude));
    raise();
    activateWindow();
}

void frmPlaces::endPick() {
    picking_ = false;
    Label1->clear();
}

void frmPlaces::hideEvent(QHideEvent* event) {
    endPick();
    QDialog::hideEvent(event);
}

} // namespace nubivista::places
