<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>Memoria insuficiente</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>Elegir carpeta</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>Imagen BMP|*|Imagen PNG|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>Archivos separados por comas|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>Guardar en archivo</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>Copiar al portapapeles</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>Establecer como fondo de escritorio</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>Tamaño de imagen</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>Zoom de la vista del logotipo, en porcentaje</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>Textos del logotipo</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>Proceso por lotes</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Autores de Zotmaker</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>Vista del logotipo</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logotipo</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>Acerca de Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>Lista de errores</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>Problemas encontrados en el script del diseño</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>Texto %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 píxeles: %3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>Creando logotipos…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>Hoja de cálculo con fila de encabezado|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>La hoja de cálculo %1 no tiene una columna «file» con los nombres de los logotipos</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>Crear mi propia copia</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>Nombre de la copia:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>Copia de %1</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>Diseños anteriores</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>Diseños siguientes</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>Diseños sin botón</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>Abrir un diseño</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>Diseños</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>Abrir la carpeta del diseño</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>Crear mi propia copia…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>Mover a la papelera</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>El diseño %1 se ha instalado, pero la barra está llena: haga clic derecho en la flecha de la derecha para abrirlo</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>No se puede mover %1 a la papelera</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>1 diseño no tiene botón: haga clic derecho aquí para ver la lista</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>%n diseño no tiene botón: haga clic derecho aquí para ver la lista</numerusform>
            <numerusform>%n diseños no tienen botón: haga clic derecho aquí para ver la lista</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>Ya hay un diseño llamado %1 instalado. ¿Reemplazarlo?</translation>
    </message>
</context>
</TS>
