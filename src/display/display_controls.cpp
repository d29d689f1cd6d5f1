#include "display/display_controls.h"

#include "display/layout_rules.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace nubivista::display {

TextBox::TextBox(const QString& name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(name);
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setContextMenuPolicy(Qt::NoContextMenu);
    // A text longer than the box shows its beginning, not its end.
    connect(this, &QLineEdit::textChanged, this, [this] { setCursorPosition(0); });
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers());
    if (event->button() == Qt::LeftButton)
        QLineEdit::mousePressEvent(event);
    else
        event->accept();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

OptionBox::OptionBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
    connect(this, &QCheckBox::clicked, this, &OptionBox::clicked2);
}

void OptionBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setChecked(!isChecked());
        emit clicked2();
        event->accept();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

QStringList productChoices() {
    return {QStringLiteral("Base Reflectivity"), QStringLiteral("Composite Reflectivity"),
            QStringLiteral("1-Hour Rainfall"), QStringLiteral("Storm Total")};
}

namespace {

// Tabs of one width, set by the layout, so that the skip boxes can sit
// under them.
class TabRow : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int) const override { return fixedSize(); }
    QSize minimumTabSizeHint(int) const override { return fixedSize(); }

    // QTabBar draws all its tabs at every repaint, through the style sheet's
    // rounded borders; a change of selection repaints two of them, ten times
    // a second while the loop runs. So only the tabs the repaint reaches are
    // drawn, the selected one last, over the edges of its neighbours, as the
    // bar itself does. (The bar has no base line, scroll buttons, movable
    // tabs or elided texts, which its own painting also handles.)
    void paintEvent(QPaintEvent* event) override {
        QStylePainter painter(this);
        const QRegion& reached = event->region();
        const int selected = currentIndex();
        const auto draw = [this, &painter](int index) {
            QStyleOptionTab option;
            initStyleOption(&option, index);
            if (!(option.state & QStyle::State_Enabled))
                option.palette.setCurrentColorGroup(QPalette::Disabled);
            painter.drawControl(QStyle::CE_TabBarTab, option);
        };
        for (int i = 0; i < count(); ++i)
            if (i != selected && reached.intersects(tabRect(i)))
                draw(i);
        if (selected >= 0 && reached.intersects(tabRect(selected)))
            draw(selected);
    }

private:
    QSize fixedSize() const {
        const QVariant width = property(kTabWidthProperty);
        return {width.isValid() ? width.toInt() : 26, toPixels(kTabRowHeight)};
    }
};

// The panel holds many controls in a narrow window: a compact face of the
// desktop's font, condensed where the system has it, small enough that the
// widest captions fit the boxes the layout gives them.
// Command7 is 52 pixels wide; the button's frame and margins take 8 of them.
constexpr int kCommand7CaptionPx = 44;

QFont compactFont() {
    const QFont base = QApplication::font();
    const QString families[] = {QStringLiteral("DejaVu Sans Condensed"), base.family()};
    for (const QString& family : families) {
        QFont font = base;
        font.setFamily(family);
        if (QFontInfo(font).family() != family && family != base.family())
            continue;
        for (const double points : {8.0, 7.5, 7.0, 6.5}) {
            font.setPointSizeF(points);
            const QFontMetrics m(font);
            if (m.horizontalAdvance(QStringLiteral("Composite Reflectivity")) <= 102 &&
                m.horizontalAdvance(QStringLiteral("Shut-Down")) <= 50 &&
                m.horizontalAdvance(QStringLiteral("Long Range")) <= 54)
                return font;
        }
    }
    QFont font = base;
    font.setPointSizeF(6.5);
    return font;
}

// The largest font not above base in which caption fits widthPx.
QFont fittedFont(const QFont& base, const QString& caption, int widthPx) {
    QFont font = base;
    for (double points = base.pointSizeF(); points > 6.0; points -= 0.5) {
        font.setPointSizeF(points);
        if (QFontMetrics(font).horizontalAdvance(caption) <= widthPx)
            return font;
    }
    font.setPointSizeF(6.0);
    return font;
}

core::PressButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new core::PressButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoDefault(false);
    return b;
}

QGroupBox* frame(const char* name, const QString& caption, QWidget* parent) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QString::fromLatin1(name));
    // A quiet outline with the caption set into its top edge, so that the
    // frame's one row of controls fits under it.
    f->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; }"));
    return f;
}

Panel* panel(const char* name, QWidget* parent) {
    auto* p = new Panel(parent);
    p->setObjectName(QString::fromLatin1(name));
    return p;
}

} // namespace

DisplayControls buildDisplayControls(QWidget* parent) {
    DisplayControls c;

    const QFont compact = compactFont();
    c.Picture1 = panel("Picture1", parent);
    c.Picture1->setAutoFillBackground(true);
    c.Picture1->setFont(compact);
    c.FrameLoop = frame("FrameLoop", QStringLiteral("Loop Controls"), c.Picture1);
    c.Command18 = button("Command18", QStringLiteral("Run"), c.FrameLoop);
    c.Command19 = button("Command19", QStringLiteral("Rock"), c.FrameLoop);
    c.Command40 = button("Command40", QStringLiteral("<"), c.FrameLoop);
    c.Text11 = new TextBox(QStringLiteral("Text11"), c.FrameLoop);
    c.Command41 = button("Command41", QStringLiteral(">"), c.FrameLoop);

    c.FrameRefresh = frame("FrameRefresh", QStringLiteral("Refresh Controls"), c.Picture1);
    c.Command7 = button("Command7", QStringLiteral("Restart"), c.FrameRefresh);
    // Its longer caption must fit inside the button's margins too.
    c.Command7->setFont(fittedFont(compact, QStringLiteral("Shut-Down"), kCommand7CaptionPx));
    c.Command9 = button("Command9", QStringLiteral("ll"), c.FrameRefresh);
    c.Command20 = button("Command20", QStringLiteral("<"), c.FrameRefresh);
    c.Text4 = new TextBox(QStringLiteral("Text4"), c.FrameRefresh);
    c.Command21 = button("Command21", QStringLiteral(">"), c.FrameRefresh);
    c.Text2 = new TextBox(QStringLiteral("Text2"), c.FrameRefresh);

    c.FrameZoom = frame("FrameZoom", QStringLiteral("Zoom Controls"), c.Picture1);
    c.Command50 = button("Command50", QStringLiteral("<"), c.FrameZoom);
    c.Text12 = new TextBox(QStringLiteral("Text12"), c.FrameZoom);
    c.Command51 = button("Command51", QStringLiteral(">"), c.FrameZoom);
    c.Check5 = new OptionBox(QStringLiteral("Check5"), QStringLiteral("Fit"), c.FrameZoom);

    // A widget with its own style sheet takes the application font unless it
    // is given one.
    for (QGroupBox* f : {c.FrameLoop, c.FrameRefresh, c.FrameZoom})
        f->setFont(compact);

    c.Combo1 = new QComboBox(c.Picture1);
    c.Combo1->setObjectName(QStringLiteral("Combo1"));
    c.Combo1->addItems(productChoices());
    c.Check2 = new OptionBox(QStringLiteral("Check2"), QStringLiteral("Long Range"), c.Picture1);
    c.Check3 = new OptionBox(QStringLiteral("Check3"), QStringLiteral("Back-Date"), c.Picture1);
    c.Text1 = new TextBox(QStringLiteral("Text1"), c.Picture1);
    c.Command1 = button("Command1", QStringLiteral("Map"), c.Picture1);
    c.Command3 = button("Command3", QStringLiteral("Menu"), c.Picture1);
    c.Command13 = button("Command13", QString(), c.Picture1);

    c.Picture3 = panel("Picture3", parent);
    c.Picture3->setFont(compact);
    c.TabStrip1 = new TabRow(c.Picture3);
    c.TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    c.TabStrip1->setFont(compact);
    c.TabStrip1->setExpanding(false);
    c.TabStrip1->setDrawBase(false);
    c.TabStrip1->setUsesScrollButtons(false);
    c.TabStrip1->setElideMode(Qt::ElideNone);
    // The narrow tabs need all their width for the number.
    c.TabStrip1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 0px; margin-top: 3px; border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: palette(button); }"
        "QTabBar::tab:selected { margin-top: 0px; background: palette(base);"
        " font-weight: bold; }"));
    for (int t = 1; t <= kTabCount; ++t) {
        c.TabStrip1->addTab(QString::number(t));
        c.Check4[t] = new OptionBox(QStringLiteral("Check4_%1").arg(t), QString(), c.Picture3);
        c.Check4[t]->setEnabled(false);
    }
    c.Command60 = button("Command60", QStringLiteral("<"), c.Picture3);
    c.Command61 = button("Command61", QStringLiteral(">"), c.Picture3);
    c.Command30 = button("Command30", QStringLiteral("-"), c.Picture3);
    c.Command31 = button("Command31", QStringLiteral("+"), c.Picture3);
    c.Check1 = new OptionBox(QStringLiteral("Check1"), QStringLiteral("click"), c.Picture3);
    c.Text3 = new TextBox(QStringLiteral("Text3"), c.Picture3);
    c.Text3->setFrame(false);
    c.Picture2 = panel("Picture2", c.Picture3);
    c.Picture2->setAutoFillBackground(true);
    QPalette black = c.Picture2->palette();
    black.setColor(QPalette::Window, Qt::black);
    c.Picture2->setPalette(black);
    for (int s = 1; s <= kTabCount; ++s) {
        auto* box = new QLabel(c.Picture2);
        box->setObjectName(QStringLiteral("Picture8_%1").arg(s));
        box->setAutoFillBackground(true);
        box->setPalette(black);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        box->hide();
        c.Picture8[s] = box;
    }
    c.Label1 = new QLabel(c.Picture3);
    c.Label1->setObjectName(QStringLiteral("Label1"));
    c.Label1->hide();

    c.Picture4 = panel("Picture4", c.Picture3);
    c.Image1 = new RadarView(c.Picture4);
    c.HScroll1 = new QScrollBar(Qt::Horizontal, c.Picture4);
    c.HScroll1->setObjectName(QStringLiteral("HScroll1"));
    c.VScroll1 = new QScrollBar(Qt::Vertical, c.Picture4);
    c.VScroll1->setObjectName(QStringLiteral("VScroll1"));
    c.Picture5 = new QWidget(c.Picture4);
    c.Picture5->setObjectName(QStringLiteral("Picture5"));
    c.Picture5->setAutoFillBackground(true);
    return c;
}

} // namespace nubivista::display
