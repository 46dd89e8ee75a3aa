// The window in the user's language: which translation a list of languages
// picks, that every translation is complete and keeps its placeholders, and
// the window, its dialogs and its error box in German and right to left.
#include "app/Translations.h"
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"
#include "widgets/ErrorBox.h"
#include "widgets/TabcToolButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <array>
#include <new>

namespace zot::test {
namespace {

using namespace Qt::StringLiterals;

TEST(Translations, TheFirstShippedLanguageIsChosen) {
    const struct {
        QStringList uiLanguages;
        QString chosen;
    } cases[] = {
        {{u"de-DE"_s, u"de"_s}, u"de"_s},
        {{u"de-AT"_s}, u"de"_s},
        {{u"fr-CA"_s, u"fr"_s}, u"fr"_s},
        {{u"es-MX"_s}, u"es"_s},
        {{u"pt-BR"_s}, u"pt_BR"_s},
        {{u"pt-PT"_s, u"pt"_s}, u"pt_BR"_s},
        {{u"ja-JP"_s}, u"ja"_s},
        {{u"zh-Hans-CN"_s, u"zh-CN"_s}, u"zh_CN"_s},
        {{u"zh-SG"_s}, u"zh_CN"_s},
        {{u"ar-EG"_s}, u"ar"_s},
        // Traditional Chinese readers get English, also where "zh" follows.
        {{u"zh-Hant-TW"_s, u"zh-TW"_s, u"zh"_s}, {}},
        {{u"zh-HK"_s}, {}},
        // Unshipped languages are passed over, English stops the search.
        {{u"it-IT"_s, u"it"_s}, {}},
        {{u"it-IT"_s, u"de-DE"_s}, u"de"_s},
        {{u"en-US"_s, u"de-DE"_s}, {}},
        {{u"C"_s}, {}},
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseLanguage(c.uiLanguages), c.chosen)
            << c.uiLanguages.join(u' ').toStdString();
}

// Every shipped language has its source, complete, each translation keeping
// every placeholder of its source text; and its compiled file beside the program.
TEST(Translations, EveryTranslationIsFinishedAndKeepsItsPlaceholders) {
    static const QRegularExpression placeholder(u"%[1-9]"_s);
    const auto placeholders = [](const QString& text) {
        QStringList found;
        for (auto it = placeholder.globalMatch(text); it.hasNext();)
            found.append(it.next().captured());
        found.sort();
        found.removeDuplicates();
        return found;
    };
    const QString folder = QStringLiteral(ZOT_SOURCE_DIR) + u"/translations"_s;
    const QStringList files = QDir(folder).entryList({u"zotmaker_*.ts"_s}, QDir::Files);
    QStringList languages;
    for (const QString& file : files)
        languages.append(file.mid(9, file.size() - 12));
    EXPECT_EQ(QSet<QString>(languages.begin(), languages.end()),
              QSet<QString>(shippedLanguages().begin(), shippedLanguages().end()));

    for (const QString& language : languages) {
        SCOPED_TRACE(language.toStdString());
        EXPECT_TRUE(QFileInfo::exists(translationsFolder(QCoreApplication::applicationDirPath()) +
                                      u"/zotmaker_"_s + language + u".qm"_s));
        QFile file(folder + u"/zotmaker_"_s + language + u".ts"_s);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(file.readAll());
        int messages = 0;
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"TS") {
                EXPECT_EQ(xml.attributes().value(u"language"_s), language);
            } else if (xml.name() == u"source") {
                source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                const QString type = xml.attributes().value(u"type"_s).toString();
                ++messages;
                EXPECT_TRUE(type.isEmpty()) << type.toStdString() << ": " << source.toStdString();
                // A plural's forms each stand alone; a form for one or two
                // may say the number in words, so %n need be in one only.
                QStringList forms;
                QString text;
                while (!xml.atEnd() && !(xml.isEndElement() && xml.name() == u"translation")) {
                    xml.readNext();
                    if (xml.isStartElement() && xml.name() == u"numerusform")
                        forms.append(xml.readElementText());
                    else if (xml.isCharacters())
                        text += xml.text();
                }
                if (forms.isEmpty())
                    forms.append(text);
                bool count = false;
                for (const QString& form : forms) {
                    EXPECT_FALSE(form.trimmed().isEmpty()) << source.toStdString();
                    EXPECT_EQ(placeholders(form), placeholders(source))
                        << source.toStdString() << " -> " << form.toStdString();
                    count = count || form.contains(u"%n"_s);
                }
                EXPECT_EQ(count, source.contains(u"%n"_s)) << source.toStdString();
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_GE(messages, 30);
    }
}

// The window in a language: its translators installed as the program does,
// taken away again, since the tests share one application.
class TranslatedWindowTest : public WindowFixture {
  protected:
    void install(const QStringList& uiLanguages, const QString& expected) {
        ASSERT_EQ(installTranslations(translationsFolder(QCoreApplication::applicationDirPath()),
                                      uiLanguages),
                  expected);
    }
    void uninstall() {
        window.reset();
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    }
    void TearDown() override {
        uninstall();
        WindowFixture::TearDown();
    }
    std::unique_ptr<TfrmZOT> window;
};

TEST_F(TranslatedWindowTest, GermanCaptionsDialogsAndErrorBox) {
    makeDesign(u"Gold"_s, "name=Gold\n");
    install({u"de-DE"_s, u"de"_s}, u"de"_s);
    window = std::make_unique<TfrmZOT>(programDir.path());
    window->show();
    EXPECT_EQ(window->frmEdit->bbBatch->text(), u"Stapelverarbeitung");
    EXPECT_EQ(window->frmEdit->caption(), u"Info");
    // The program's hint and Qt's own name of the key, both German.
    EXPECT_EQ(window->frmEdit->abcTBSave->toolTip(), u"In Datei speichern (Strg+S)");
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);

    QDialog* list = window->showDesignList();
    EXPECT_EQ(list->windowTitle(), u"Design öffnen");
    const auto* buttons = list->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().remove(u'&'), u"Abbrechen");
    list->reject();

    ErrorBoxRecorder box;
    runGuarded([] { throw std::bad_alloc(); });
    EXPECT_EQ(box.texts, QStringList{u"Nicht genügend Arbeitsspeicher."_s});
}

// The left panel's captions are laid out at fixed widths: every language's
// fits there whole, and the batch button's still does under a large font.
TEST_F(TranslatedWindowTest, EveryLanguagesCaptionsFitTheirControls) {
    const QFont normal = QApplication::font();
    window = std::make_unique<TfrmZOT>(programDir.path());
    window->show();
    EXPECT_EQ(window->frmEdit->bbBatch->font(), normal) << "English is left as it was";
    window.reset();
    for (const QString& language : shippedLanguages()) {
        for (const double points : {normal.pointSizeF(), 14.0}) {
            SCOPED_TRACE(language.toStdString() + " at " + std::to_string(points) + " pt");
            QFont font = normal;
            font.setPointSizeF(points);
            QApplication::setFont(font);
            install({language}, language);
            window = std::make_unique<TfrmZOT>(programDir.path());
            window->show();
            const QPushButton* batch = window->frmEdit->bbBatch;
            QStyleOptionButton option;
            option.initFrom(batch);
            EXPECT_LE(batch->fontMetrics().horizontalAdvance(batch->text()),
                      batch->style()
                          ->subElementRect(QStyle::SE_PushButtonContents, &option, batch)
                          .width())
                << batch->text().toStdString();
            if (points == normal.pointSizeF()) {
                for (const QLabel* label : {window->frmEdit->Label1, window->frmEdit->Label2})
                    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                              label->contentsRect().width())
                        << label->text().toStdString();
            }
            uninstall();
        }
    }
    QApplication::setFont(normal);
}

// The strip starts at the right and runs leftwards, its arrows swapped; the
// editor is the English one's mirror image; the logo is drawn as it is,
// zoomed and scrolled as in any language.
TEST_F(TranslatedWindowTest, ArabicMirrorsTheWindowButNotTheLogo) {
    for (const QString& name : {u"Aa"_s, u"Bb"_s, u"Cc"_s, u"Dd"_s, u"Ee"_s, u"Ff"_s})
        makeDesign(name, "name=x\n");
    makeDesign(u"Red"_s, "backgroundImage=bg.bmp\n" + ttfSection("Name", ""));
    writeBmp(designPath(u"Red"_s) + u"/bg.bmp"_s, 10, 4,
             [](int x, int) { return x < 5 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); });
    // The controls placed by hand and the logo view, in the window: x, y,
    // width, height.
    using Place = std::array<int, 4>;
    const auto places = [](TfrmZOT& w) {
        TfrmEdit& e = *w.frmEdit;
        std::vector<Place> rects;
        for (const QWidget* c : std::initializer_list<const QWidget*>{
                 e.abcTBSave, e.cbSize, e.Labels[0], e.Edits[0], e.bbBatch, e.imgEdit})
            rects.push_back({c->mapTo(&w, QPoint(0, 0)).x(), c->mapTo(&w, QPoint(0, 0)).y(),
                             c->width(), c->height()});
        return rects;
    };
    std::vector<Place> english;
    {
        TfrmZOT ltr(programDir.path());
        ltr.resize(544, 375);
        ltr.show();
        ltr.openMenuButton(7);
        ASSERT_EQ(ltr.frmEdit->LabelCount, 1);
        english = places(ltr);
    }
    install({u"ar-EG"_s}, u"ar"_s);
    window = std::make_unique<TfrmZOT>(programDir.path());
    window->resize(544, 375);
    window->show();
    ASSERT_TRUE(window->isRightToLeft());
    EXPECT_EQ(window->frmEdit->bbBatch->text(), u"معالجة دفعية");

    // The first design at the right edge, inside the strip: the later
    // designs' arrow and the about button on the left.
    const int width = window->pTop->width();
    ASSERT_EQ(window->MenuCount, 7);
    const auto rightEdge = [&](const QWidget* w) {
        return w->mapTo(window->pTop, QPoint(w->width(), 0)).x();
    };
    EXPECT_EQ(rightEdge(window->pMenu), width - TfrmZOT::kStripHome);
    EXPECT_GT(window->MenuButtons[0]->x(), window->MenuButtons[1]->x());
    EXPECT_GT(window->pLeftMenu->x(), width / 2);
    EXPECT_LT(window->pRightMenu->x(), width / 2);
    EXPECT_LT(window->sbAbout->x(), window->sbRightMenu->x());
    // Scrolling to the last design brings it into sight beside the arrow.
    ASSERT_TRUE(window->sbRightMenu->isEnabled());
    window->openMenuButton(7);
    const QToolButton* last = window->MenuButtons[6];
    EXPECT_GE(last->mapTo(window->pTop, QPoint(0, 0)).x(), window->pRightMenu->width());
    EXPECT_EQ(window->currentDesign(), 7);
    EXPECT_TRUE(window->sbLeftMenu->isEnabled());
    window->sbMenuClick(window->sbLeftMenu);
    window->sbMenuClick(window->sbLeftMenu);
    window->sbMenuClick(window->sbLeftMenu);
    EXPECT_EQ(rightEdge(window->pMenu), width - TfrmZOT::kStripHome);
    EXPECT_FALSE(window->sbLeftMenu->isEnabled());

    const std::vector<Place> arabic = places(*window);
    ASSERT_EQ(arabic.size(), english.size());
    for (size_t k = 0; k < english.size(); ++k) {
        const auto [x, y, w, h] = english[k];
        EXPECT_EQ(arabic[k], (Place{window->width() - x - w, y, w, h})) << "control " << k;
    }

    TfrmEdit& e = *window->frmEdit;
    e.cbSize->setEditText(u"200%"_s);
    const QImage shot = e.imgEdit->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(20, 8));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(9, 7), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(10, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(19, 7), qRgb(0, 0, 255));
}

// The real program, as a user starts it, reports its language and direction.
TEST(TranslatedProgram, FollowsTheEnvironment) {
    const struct {
        QByteArray language, lang, lcAll;
        QString batchButton, direction;
    } cases[] = {
        {"de", "de_DE.UTF-8", {}, u"Stapelverarbeitung"_s, u"left-to-right"_s},
        {{}, "de_DE.UTF-8", {}, u"Stapelverarbeitung"_s, u"left-to-right"_s},
        {"pt_PT", "pt_PT.UTF-8", {}, u"Processar em lote"_s, u"left-to-right"_s},
        {"ar", "ar_EG.UTF-8", {}, u"معالجة دفعية"_s, u"right-to-left"_s},
        {"zh_TW", "zh_TW.UTF-8", {}, u"Batch process"_s, u"left-to-right"_s},
        {{}, "de_DE.UTF-8", "C", u"Batch process"_s, u"left-to-right"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language.toStdString() + " " + c.lang.toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QString::fromLatin1(name));
        if (!c.language.isEmpty())
            env.insert(u"LANGUAGE"_s, QString::fromLatin1(c.language));
        if (!c.lcAll.isEmpty())
            env.insert(u"LC_ALL"_s, QString::fromLatin1(c.lcAll));
        env.insert(u"LANG"_s, QString::fromLatin1(c.lang));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"ZOTMAKER_SELFTEST"_s, u"1"_s);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + u"/zotmaker"_s, QStringList());
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split(u'\n');
        EXPECT_TRUE(lines.contains(u"batch-button: "_s + c.batchButton))
            << lines.join(u'|').toStdString();
        EXPECT_TRUE(lines.contains(u"layout-direction: "_s + c.direction))
            << lines.join(u'|').toStdString();
    }
}

} // namespace
} // namespace zot::test
