#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace zot {

const QStringList& shippedLanguages() {
    static const QStringList languages = {u"de"_s, u"fr"_s,    u"es"_s, u"pt_BR"_s,
                                          u"ja"_s, u"zh_CN"_s, u"ar"_s};
    return languages;
}

QString chooseLanguage(const QStringList& uiLanguages) {
    bool traditionalChinese = false;
    for (const QString& entry : uiLanguages) {
        const QLocale locale(entry);
        switch (locale.language()) {
        case QLocale::C:
        case QLocale::English:
            // The source texts are English: wanted before any translation.
            return {};
        case QLocale::AnyLanguage:
            continue;
        case QLocale::Portuguese:
            return u"pt_BR"_s;
        case QLocale::Chinese:
            // Qt lists "zh-Hant-TW", "zh-TW"...: none of them may fall back on
            // the Simplified translation.
            if (locale.script() == QLocale::TraditionalChineseScript ||
                entry.contains(u"Hant"_s, Qt::CaseInsensitive))
                traditionalChinese = true;
            if (traditionalChinese)
                continue;
            return u"zh_CN"_s;
        default:
            break;
        }
        const QString language = QLocale::languageToCode(locale.language());
        if (shippedLanguages().contains(language))
            return language;
    }
    return {};
}

QString translationsFolder(const QString& programFolder) {
    return QDir(programFolder).filePath(u"translations"_s);
}

QString installTranslations(const QString& folder, const QStringList& uiLanguages) {
    const QString language = chooseLanguage(uiLanguages);
    if (language.isEmpty())
        return {};
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(u"zotmaker_"_s + language, folder)) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);
    // Qt's standard dialogs and buttons; missing, they stay English.
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(u"qtbase_"_s + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    QGuiApplication::setLayoutDirection(QLocale(language).textDirection());
    return language;
}

} // namespace zot
