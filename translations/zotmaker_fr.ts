<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>Mémoire insuffisante</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>Choisir un dossier</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>Image BMP|*|Image PNG|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>Fichiers séparés par des virgules|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>Enregistrer dans un fichier</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>Copier dans le presse-papiers</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>Définir comme fond d’écran</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>Taille de l’image</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>Zoom de l’aperçu du logo, en pourcentage</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>Textes du logo</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>Traitement par lots</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Auteurs de Zotmaker</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>Aperçu du logo</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>À propos de Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>Liste des erreurs</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>Problèmes détectés dans le script du modèle</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>Texte %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 pixels&#xa0;: %3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>Création des logos…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>Feuille de calcul avec ligne d’en-tête|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>La feuille de calcul %1 n’a pas de colonne «&#xa0;file&#xa0;» donnant les noms des logos</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>Créer ma propre copie</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>Nom de la copie&#xa0;:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>Copie de %1</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>Modèles précédents</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>Modèles suivants</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>Modèles sans bouton</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>Ouvrir un modèle</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>Modèles</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>Ouvrir le dossier du modèle</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>Créer ma propre copie…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>Le modèle %1 a été installé, mais la barre est pleine&#xa0;: faites un clic droit sur sa flèche de droite pour l’ouvrir</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>Impossible de mettre %1 à la corbeille</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>1 modèle n’a pas de bouton&#xa0;: faites un clic droit ici pour le voir</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>%n modèle n’a pas de bouton&#xa0;: faites un clic droit ici pour en voir la liste</numerusform>
            <numerusform>%n modèles n’ont pas de bouton&#xa0;: faites un clic droit ici pour en voir la liste</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>Un modèle nommé %1 est déjà installé. Le remplacer&#xa0;?</translation>
    </message>
</context>
</TS>
