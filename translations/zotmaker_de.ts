<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>Ordner wählen</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>BMP-Bild|*|PNG-Bild|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>Kommagetrennte Dateien|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>In Datei speichern</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>In die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>Als Hintergrundbild festlegen</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>Bildgröße</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>Vergrößerung der Logoansicht in Prozent</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>Texte des Logos</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>Stapelverarbeitung</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Zotmaker-Autoren</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>Logoansicht</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>Über Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>Fehlerliste</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>Im Skript des Designs gefundene Probleme</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>Text %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 Pixel: %3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>Logos werden erstellt …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>Tabelle mit Kopfzeile|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>Die Tabelle %1 hat keine Spalte „file“ für die Namen der Logos</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>Eigene Kopie anlegen</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>Name der Kopie:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>Kopie von %1</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>Vorherige Designs</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>Nächste Designs</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>Designs ohne Schaltfläche</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>Design öffnen</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>Designs</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>Designordner öffnen</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>Eigene Kopie anlegen …</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>Das Design %1 wurde installiert, aber die Leiste ist voll: Zum Öffnen mit der rechten Maustaste auf den rechten Pfeil der Leiste klicken</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>%1 kann nicht in den Papierkorb verschoben werden</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>1 Design hat keine Schaltfläche: Rechtsklick hier öffnet die Liste</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>%n Design hat keine Schaltfläche: Rechtsklick hier öffnet die Liste</numerusform>
            <numerusform>%n Designs haben keine Schaltfläche: Rechtsklick hier öffnet die Liste</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>Ein Design namens %1 ist bereits installiert. Ersetzen?</translation>
    </message>
</context>
</TS>
