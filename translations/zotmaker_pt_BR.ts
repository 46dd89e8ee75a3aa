<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>Memória insuficiente</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>Escolher pasta</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>Imagem BMP|*|Imagem PNG|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>Arquivos separados por vírgulas|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>Salvar em arquivo</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>Copiar para a área de transferência</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>Definir como papel de parede</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>Tamanho da imagem</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>Zoom da visualização do logotipo, em porcentagem</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>Textos do logotipo</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>Processar em lote</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Autores do Zotmaker</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>Visualização do logotipo</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logotipo</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>Sobre o Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>Lista de erros</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>Problemas encontrados no script do design</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>Texto %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 pixels: %3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>Criando logotipos…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>Planilha com linha de cabeçalho|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>A planilha %1 não tem a coluna “file” com os nomes dos logotipos</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>Criar minha própria cópia</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>Nome da cópia:</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>Cópia de %1</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>Designs anteriores</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>Próximos designs</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>Designs sem botão</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>Abrir um design</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>Designs</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>Abrir a pasta do design</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>Criar minha própria cópia…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>Mover para a lixeira</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>O design %1 foi instalado, mas a barra está cheia: clique com o botão direito na seta da direita para abri-lo</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>Não foi possível mover %1 para a lixeira</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>1 design não tem botão: clique com o botão direito aqui para ver a lista</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>%n design não tem botão: clique com o botão direito aqui para ver a lista</numerusform>
            <numerusform>%n designs não têm botão: clique com o botão direito aqui para ver a lista</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>Um design chamado %1 já está instalado. Substituí-lo?</translation>
    </message>
</context>
</TS>
