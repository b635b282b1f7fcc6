// The baseline of korvel-bench's start-up and memory figures: the program's
// two windows written in plain Qt Widgets, with the program's look (the
// bundled Liberation Sans at 11 pixels, Fusion, the toolkit's Russian
// catalogue).
//   main dialog  the same controls and texts at the same places, its field
//                painted from a 1600 x 980 image holding the empty grid;
//                "Пуск" draws the default throw's path into it at once.
//   Diagrams     opened by "Диаграммы": a 1600 x 1000 chart image and the
//                listing as a QPlainTextEdit; "Расчёт" fills the listing
//                with the default throw's rows and plots them.
// korvel-bench runs it through the same probe as the program.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include <cmath>

#include "field_pixels.h"
#include "flight_model.h"
#include "resources.h"

namespace {

// Dialog units to pixels, as the program's templates are laid out.
int Dlu(int v, int num, int den) { return static_cast<int>(std::lround(static_cast<double>(v) * num / den)); }
QRect DluRect(int x, int y, int cx, int cy) { return QRect(Dlu(x, 6, 4), Dlu(y, 13, 8), Dlu(cx, 6, 4), Dlu(cy, 13, 8)); }

QByteArray Bytes(res::Blob b) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(b.data), static_cast<qsizetype>(b.size));
}

QFont LabelFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    f.setBold(true);
    return f;
}

template <typename W>
W* Place(W* w, QWidget* parent, QRect r) {
    w->setParent(parent);
    w->setGeometry(r);
    return w;
}

QToolButton* Arrow(QWidget* parent, Qt::ArrowType type, QRect r) {
    auto* b = Place(new QToolButton, parent, r);
    b->setArrowType(type);
    return b;
}

// A window that shows part of a large image at (12, 12), 610 x 490.
class ImageDialog : public QDialog {
public:
    ImageDialog(int w, int h, QPoint view) : m_image(w, h, QImage::Format_RGB32), m_view(view) {
        setFixedSize(855, 518);
    }
    QImage& image() { return m_image; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(QPoint(12, 12), m_image, QRect(m_view, QSize(610, 490)));
    }

private:
    QImage m_image;
    QPoint m_view;
};

class DiagramsWindow : public ImageDialog {
public:
    explicit DiagramsWindow(QWidget* parent) : ImageDialog(1600, 1000, QPoint(0, 490)) {
        setParent(parent, Qt::Dialog);
        setWindowTitle(QStringLiteral("Зависимость V(t) & Y(t)"));
        auto* calculate = Place(new QPushButton(QStringLiteral("Расчёт")), this, DluRect(436, 282, 109, 23));
        calculate->setDefault(true);
        m_listing = Place(new QPlainTextEdit, this, DluRect(426, 13, 134, 201));
        m_listing->setReadOnly(true);
        m_listing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_listing->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_listing->setTabStopDistance(48);
        Place(new QLabel(QStringLiteral("Время")), this, DluRect(426, 2, 23, 8));
        Place(new QLabel(QStringLiteral(" Длина")), this, DluRect(455, 2, 27, 8));
        Place(new QLabel(QStringLiteral("Высота")), this, DluRect(485, 2, 26, 8));
        Place(new QLabel(QStringLiteral("Скорость")), this, DluRect(518, 2, 33, 8));
        Place(new QCheckBox(QStringLiteral("Сохранять пред. графики")), this, DluRect(441, 265, 100, 10))
            ->setChecked(true);
        Arrow(this, Qt::UpArrow, DluRect(488, 217, 16, 16));
        Arrow(this, Qt::DownArrow, DluRect(488, 246, 16, 16));
        Arrow(this, Qt::LeftArrow, DluRect(474, 232, 16, 14));
        Arrow(this, Qt::RightArrow, DluRect(504, 232, 16, 14));
        DrawAxes();
        connect(calculate, &QPushButton::clicked, this, [this] { Calculate(); });
    }

private:
    static constexpr int kOriginX = 20, kOriginY = 965;
    static constexpr QColor kSpeed{0, 0, 255}, kHeight{128, 0, 0};

    void DrawAxes() {
        image().fill(Qt::white);
        QPainter p(&image());
        p.setPen(QColor(192, 192, 192));
        for (int x = 85; x < 1590; x += 65) p.drawLine(x, kOriginY, x, 21);
        for (double y = 942; y > 0; y -= 23.55) p.drawLine(kOriginX, int(y), 1585, int(y));
        p.setPen(Qt::black);
        p.drawLine(kOriginX, 23, kOriginX, kOriginY);
        p.drawLine(kOriginX, kOriginY, 1585, kOriginY);
        p.setFont(LabelFont());
        int k = 1;
        for (double y = 942; y > 0; y -= 23.55, ++k) p.drawText(1, int(y) + 5, QString::number(k));
        int n = 1;
        for (int x = 85; x < 1590; x += 65, ++n) p.drawText(x - 4, 979, QString::number(n));
        p.drawText(570, 958, QStringLiteral("t, c"));
        p.setPen(kSpeed);
        p.drawText(27, 502, QStringLiteral(" V , м/с"));
        p.drawText(482, 502, QStringLiteral("Зависимость V(t)"));
        p.setPen(kHeight);
        p.drawText(27, 519, QStringLiteral(" H , м"));
        p.drawText(482, 523, QStringLiteral("Зависимость H(t)"));
    }

    void Calculate() {
        DrawAxes();
        QPainter p(&image());
        QString rows;
        const auto row = [&rows](float t, float x, float y, float v) {
            rows += QString::asprintf("%1.2f\t%1.3f\t%1.3f\t%1.3f\n", t, x, y, v);
        };
        const physics::Inputs in;
        row(0, 0, 0, in.speed);
        physics::Flight flight(in, physics::EndTests{.ground = true});
        for (;;) {
            const physics::End end = flight.Advance(true, true);
            const physics::State& s = flight.Ball();
            const float v = physics::Speed(s);
            if (flight.Every(10)) row(flight.Time(), s.x, s.y, v);
            const double x = flight.Time() * 65.0 + kOriginX;
            p.setPen(kSpeed);
            p.drawPoint(QPointF(x, kOriginY - v * 23.55));
            p.setPen(kHeight);
            p.drawPoint(QPointF(x, kOriginY - std::fabs(s.y) * 23.55));
            if (end != physics::End::None) break;
        }
        m_listing->setPlainText(rows);
        update();
    }

    QPlainTextEdit* m_listing;
};

class MainDialog : public ImageDialog {
public:
    MainDialog() : ImageDialog(1600, 980, QPoint(800, 490)) {
        setWindowTitle(QStringLiteral("Эффект Корвеля"));
        m_start = Place(new QPushButton(QStringLiteral("Пуск")), this, DluRect(433, 263, 129, 22));
        m_start->setDefault(true);
        auto* diagrams = Place(new QPushButton(QStringLiteral("Диаграммы")), this, DluRect(433, 287, 129, 22));
        Place(new QGroupBox(QStringLiteral("Начальные данные")), this, DluRect(433, 7, 129, 138));
        static const struct {
            const char* label;
            const char* value;
            int y;
        } kInputs[] = {{"Масса (кг)", "1", 16},
                       {"Радиус (м)", "0.1", 34},
                       {"Начальная скорость (м/с)", "20", 52},
                       {"Угол (градусы)", "45", 70},
                       {"Угловая скорость (рад/с)", "10", 88},
                       {"Плотность среды (кг/м^3)", "1.165", 106},
                       {"Время замедления (мс)", "50", 125}};
        for (const auto& input : kInputs) {
            Place(new QLabel(QString::fromUtf8(input.label)), this, DluRect(440, input.y + 3, 90, 8));
            auto* edit = Place(new QLineEdit(QString::fromUtf8(input.value)), this, DluRect(531, input.y, 23, 14));
            edit->setAlignment(Qt::AlignCenter);
        }
        Place(new QLabel(QStringLiteral("Цвет траектории")), this, DluRect(433, 148, 63, 8));
        auto* swatch = Place(new QLabel, this, QRect(750, 239, 94, 18));
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, QColor(0, 0, 255));
        swatch->setPalette(palette);
        auto* spin = Place(new QCheckBox(QStringLiteral("Закрутить по часовой стрелке")), this,
                           DluRect(433, 161, 133, 11));
        auto* drag = Place(new QCheckBox(QStringLiteral("Сопротивление среды")), this, DluRect(433, 175, 95, 11));
        auto* keep = Place(new QCheckBox(QStringLiteral("Сохранять траектории")), this, DluRect(433, 188, 93, 11));
        keep->setLayoutDirection(Qt::RightToLeft);
        for (QCheckBox* b : {spin, drag, keep}) b->setChecked(true);
        Arrow(this, Qt::UpArrow, DluRect(490, 209, 16, 16));
        Arrow(this, Qt::LeftArrow, DluRect(475, 223, 16, 14));
        Arrow(this, Qt::RightArrow, DluRect(505, 223, 16, 14));
        Arrow(this, Qt::DownArrow, DluRect(490, 237, 16, 16))->setEnabled(false);
        DrawField();
        connect(m_start, &QPushButton::clicked, this, [this] { Fly(); });
        connect(diagrams, &QPushButton::clicked, this, [this] {
            if (!m_diagrams) m_diagrams = new DiagramsWindow(this);
            m_diagrams->show();
        });
    }

private:
    void DrawField() {
        QImage& img = image();
        img.fill(Qt::white);
        const int W = img.width(), H = img.height();
        const int x0 = W / 2 + 12, y0 = H - 15;
        QPainter p(&img);
        p.setPen(QColor(192, 192, 192));
        for (int k = 0; x0 - 128 * k > 0; ++k) {
            p.drawLine(x0 - 128 * k, H - 20, x0 - 128 * k, 14);
            p.drawLine(W + 24 - (x0 - 128 * k), H - 20, W + 24 - (x0 - 128 * k), 14);
        }
        for (int y = y0; y > 0; y -= 115) p.drawLine(20, y, W, y);
        p.setPen(Qt::black);
        p.drawLine(x0, 14, x0, y0);
        p.drawLine(12, y0, W, y0);
        p.setFont(LabelFont());
        for (int k = 0; x0 - 128 * k > 0; ++k) {
            const QString label = QString::number(10 * k);
            p.drawText(x0 - 128 * k - 4, H / 2 + 489, label);
            p.drawText(x0 + 128 * k - 4, H / 2 + 489, label);
        }
        int v = 0;
        for (int y = y0; y > 0; y -= 115) p.drawText(W / 2, y - 110, QString::number(v += 5));
        p.drawText(1340, H / 2 + 468, QStringLiteral("Длина , М"));
        p.drawText(822, H / 2 + 12, QStringLiteral(" Высота , М"));
    }

    // The default throw's path, at once; "Пуск" is enabled again after.
    void Fly() {
        m_start->setEnabled(false);
        QPainter p(&image());
        p.setPen(QColor(0, 0, 255));
        physics::Flight flight(physics::Inputs{}, physics::EndTests{.broken = true, .side = true, .ground = true});
        QPointF from(physics::FieldX(physics::kFieldWidth, 0), physics::FieldY(physics::kFieldHeight, 0));
        while (flight.Advance(true, true) == physics::End::None) {
            const QPointF to(physics::FieldX(physics::kFieldWidth, flight.Ball().x),
                             physics::FieldY(physics::kFieldHeight, flight.Ball().y));
            p.drawLine(from, to);
            from = to;
        }
        update();
        QTimer::singleShot(0, m_start, [this] { m_start->setEnabled(true); });
    }

    QPushButton* m_start;
    DiagramsWindow* m_diagrams = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFontDatabase::addApplicationFontFromData(Bytes(res::FontSansRegular()));
    QFontDatabase::addApplicationFontFromData(Bytes(res::FontSansBold()));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QTranslator translator;
    const res::Blob ru = res::ToolkitTranslationRu();
    if (translator.load(ru.data, static_cast<int>(ru.size))) QCoreApplication::installTranslator(&translator);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    MainDialog dialog;
    dialog.exec();
    return 0;
}
