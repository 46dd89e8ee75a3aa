<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>メモリが不足しています。</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>フォルダーの選択</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>BMP 画像|*|PNG 画像|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>カンマ区切りファイル|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>ファイルに保存</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>クリップボードにコピー</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>壁紙に設定</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>画像サイズ</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>ロゴ表示の倍率（パーセント）</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>ロゴのテキスト</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>一括処理</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Zotmaker の作者</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>ロゴ表示</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>ロゴ</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>Zotmaker について</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>エラー一覧</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>デザインのスクリプトで見つかった問題</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>テキスト %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 ピクセル：%3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>ロゴを作成しています…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>ヘッダー行のあるスプレッドシート|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>スプレッドシート %1 には、ロゴの名前を示す列「file」がありません。</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>自分用のコピーを作成</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>コピーの名前：</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>%1 のコピー</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>前のデザイン</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>次のデザイン</translation>
    </message>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>ボタンのないデザイン</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>デザインを開く</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>デザイン</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>デザインのフォルダーを開く</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>自分用のコピーを作成…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>ゴミ箱に移動</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>デザイン %1 をインストールしましたが、バーがいっぱいです。開くには右側の矢印を右クリックしてください。</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>%1 をゴミ箱に移動できません。</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>1 個のデザインにはボタンがありません。ここを右クリックすると一覧を表示します。</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>%n 個のデザインにはボタンがありません。ここを右クリックすると一覧を表示します。</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>%1 という名前のデザインは既にインストールされています。置き換えますか？</translation>
    </message>
</context>
</TS>
