// Real rendering of the three views: pixels, files and glyph coverage.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <set>

#include "analysis/pick_file.h"
#include "qtdraw/qt_render.h"
#include "record/state.h"
#include "session/session.h"
#include "views/palette.h"
#include "views/recording_surface.h"
#include "views/views.h"

using namespace tavo;

namespace {

const char* kSample = TAVO_SOURCE_DIR "/samples/杨12-5.O00";

struct Analysed {
    Session session;
    State& st = session.st;
    RecordingSurface rec{std::make_shared<QtTextMetrics>()};
    Analysed() {
        session.picture = &rec;
        pick_file(session, kSample);
    }
    void show(const QString& view) {
        iup_line_form(st, rec, 10.0f, 10.0f);
        if (view != "chart") Disp_Pow_Data(st, rec);
        if (view == "card") RodEngMapDisplay(st, rec);
    }
};

int count_colour(const QImage& img, int palette_index) {
    const Rgb c = palette_rgb(palette_index);
    // Smoothed edges blend into the background: near the colour counts.
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            if (std::abs(qRed(px) - c.r) + std::abs(qGreen(px) - c.g) + std::abs(qBlue(px) - c.b) < 90) ++n;
        }
    return n;
}

QImage rendered(const RecordingSurface& rec, double scale) {
    QImage img(QSize(int(401 * scale), int(241 * scale)), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    paint_recording(p, rec, QSizeF(401 * scale, 241 * scale));
    return img;
}

}  // namespace

class ViewsRenderTest : public QObject {
    Q_OBJECT
private slots:
    void chartShowsEveryCurveColour() {
        Analysed a;
        a.show("chart");
        QVERIFY(a.st.Pow_Circle_Num > 0);
        const QImage img = rendered(a.rec, 1.0);
        QCOMPARE(img.pixel(0, 0) & 0xFFFFFF, qRgb(224, 224, 224) & 0xFFFFFF);
        QVERIFY(count_colour(img, kBlack) > 500);
        for (int c : {kLightRed, kLightBlue, kYellow, kLightMagenta})
            QVERIFY2(count_colour(img, c) > 100, qPrintable(QString::number(c)));
    }

    void tableAndCardAreDrawn() {
        Analysed a;
        a.show("table");
        QImage img = rendered(a.rec, 3.0);
        QVERIFY(count_colour(img, kBlack) > 1000);
        QVERIFY(count_colour(img, kLightRed) > 10);  // the quadrant powers
        a.show("card");
        img = rendered(a.rec, 1.0);
        QVERIFY(count_colour(img, kBlack) > 1000);
        QVERIFY(count_colour(img, kLightMagenta) > 300);
    }

    void largerAreasScaleUniformly() {
        Analysed a;
        a.show("card");
        const QImage one = rendered(a.rec, 1.0);
        const QImage three = rendered(a.rec, 3.0);
        const int m1 = count_colour(one, kLightMagenta), m3 = count_colour(three, kLightMagenta);
        QVERIFY2(m3 > 5 * m1, qPrintable(QString("%1 %2").arg(m1).arg(m3)));
    }

    void everyViewTextHasItsGlyphs() {
        Analysed a;
        std::set<char32_t> chars;
        for (const QString v : {"chart", "table", "card"}) {
            a.show(v);
            for (const DrawOp& op : a.rec.ops)
                if (op.kind == OpKind::Text)
                    for (char32_t c : QString::fromStdString(op.text).toUcs4()) chars.insert(c);
        }
        // The notices of wells without stroke or load.
        for (int16_t stroke : {int16_t{0}, int16_t{1000}}) {
            a.st.Sgt_Stroke = stroke;
            a.st.Sgt_MaxLoad = 0;
            Disp_SGT(a.st, a.rec, a.st.Circle_Num);
            for (const DrawOp& op : a.rec.ops)
                if (op.kind == OpKind::Text)
                    for (char32_t c : QString::fromStdString(op.text).toUcs4()) chars.insert(c);
        }
        QVERIFY(chars.count(U'曲') && chars.count(U'：'));
        const QFontMetricsF fm(view_font("宋体", 9.0));
        QStringList missing;
        for (char32_t c : chars)
            if (c != U' ' && !fm.inFontUcs4(c)) missing << QString::fromUcs4(&c, 1);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
    }

    void filesOfEveryType() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Analysed a;
        a.show("chart");
        const std::string base = dir.path().toStdString() + "/chart";
        QCOMPARE(english(save_recording(a.rec, base + ".png", 2.0)), std::string());
        QImage png(QString::fromStdString(base + ".png"));
        QCOMPARE(png.size(), QSize(802, 482));
        QVERIFY(count_colour(png, kLightMagenta) > 200);

        QCOMPARE(english(save_recording(a.rec, base + ".svg", 1.0)), std::string());
        QSvgRenderer svg(QString::fromStdString(base + ".svg"));
        QVERIFY(svg.isValid());
        QImage from_svg(1604, 964, QImage::Format_RGB32);
        from_svg.fill(Qt::white);
        {
            QPainter p(&from_svg);
            svg.render(&p);
        }
        QVERIFY(count_colour(from_svg, kLightBlue) > 50);

        QCOMPARE(english(save_recording(a.rec, base + ".PDF", 1.0)), std::string());
        QFile pdf(QString::fromStdString(base + ".PDF"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.contains("UMing"));
    }

    void filesReportWhatWentWrong() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string base = dir.path().toStdString() + "/picture";
        RecordingSurface rec;
        const Problem bmp = save_recording(rec, base + ".bmp", 1.0);
        QVERIFY(bmp.kind == Problem::Kind::UnknownPictureType);
        QCOMPARE(english(bmp), std::string("unknown picture type 'bmp' (use .png, .svg or .pdf)"));
        const Problem nowhere = save_recording(rec, "/no-such-dir/x/picture.png", 1.0);
        QVERIFY(nowhere.kind == Problem::Kind::CannotWriteFile);
        QVERIFY(english(nowhere).find("cannot write /no-such-dir/x/picture.png: ") == 0);
        QVERIFY(save_recording(rec, base + ".png", 0.0).kind == Problem::Kind::BadScale);
        // A refusal writes nothing.
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(ViewsRenderTest)
#include "views_render_test.moc"
