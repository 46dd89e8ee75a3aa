<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>الذاكرة غير كافية</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>اختيار مجلد</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>حول</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>صورة BMP|*|صورة PNG|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>ملفات مفصولة بفواصل|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>حفظ في ملف</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>نسخ إلى الحافظة</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>تعيين كخلفية للشاشة</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>حجم الصورة</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>نسبة تكبير عرض الشعار بالمئة</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>نصوص الشعار</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>معالجة دفعية</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>حقوق النشر © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>مؤلفو Zotmaker</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>عرض الشعار</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>الشعار</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>حول Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>قائمة الأخطاء</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>مشكلات عُثر عليها في النص البرمجي للتصميم</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>النص %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 بكسل: %3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>جارٍ إنشاء الشعارات…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>جدول بيانات بصف عناوين|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>لا يحتوي جدول البيانات ⁦%1⁩ على العمود «file» الخاص بأسماء الشعارات</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>إنشاء نسختي الخاصة</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>اسم النسخة:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>نسخة من %1</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>التصاميم السابقة</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>التصاميم التالية</translation>
    </message>
    <message>
        <source>About</source>
        <translation>حول</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>تصاميم بلا زر</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>فتح تصميم</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>التصاميم</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>فتح مجلد التصميم</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>إنشاء نسختي الخاصة…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>نقل إلى المهملات</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>تم تثبيت التصميم ⁨%1⁩، لكن الشريط ممتلئ: انقر بزر الفأرة الأيمن على سهم التصاميم التالية لفتحه</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>تعذّر نقل ⁦%1⁩ إلى المهملات</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>تصميم واحد بلا زر: انقر هنا بزر الفأرة الأيمن لعرض القائمة</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>لا تصاميم بلا زر</numerusform>
            <numerusform>تصميم واحد بلا زر: انقر هنا بزر الفأرة الأيمن لعرض القائمة</numerusform>
            <numerusform>تصميمان بلا زر: انقر هنا بزر الفأرة الأيمن لعرض قائمتهما</numerusform>
            <numerusform>%n تصاميم بلا زر: انقر هنا بزر الفأرة الأيمن لعرض قائمتها</numerusform>
            <numerusform>%n تصميمًا بلا زر: انقر هنا بزر الفأرة الأيمن لعرض قائمتها</numerusform>
            <numerusform>%n تصميم بلا زر: انقر هنا بزر الفأرة الأيمن لعرض قائمتها</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>‏التصميم ⁨%1⁩ مثبّت من قبل. هل تريد استبداله؟</translation>
    </message>
</context>
</TS>
