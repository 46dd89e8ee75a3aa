<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>zot::ErrorBox</name>
    <message>
        <source>Out of memory</source>
        <translation>内存不足。</translation>
    </message>
</context>
<context>
    <name>zot::TabcDirectoryDialog</name>
    <message>
        <source>Choose Folder</source>
        <translation>选择文件夹</translation>
    </message>
</context>
<context>
    <name>zot::TfrmEdit</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>BMP picture|*|PNG picture|*.png</source>
        <translation>BMP 图像|*|PNG 图像|*.png</translation>
    </message>
    <message>
        <source>Comma Seperated Files|*.txt;*.csv;</source>
        <translation>逗号分隔文件|*.txt;*.csv;</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>保存到文件</translation>
    </message>
    <message>
        <source>Copy 2 clipboard</source>
        <translation>复制到剪贴板</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>设为壁纸</translation>
    </message>
    <message>
        <source>Image size</source>
        <translation>图像大小</translation>
    </message>
    <message>
        <source>Zoom of the logo view, in percent</source>
        <translation>徽标视图的缩放比例（百分比）</translation>
    </message>
    <message>
        <source>Texts of the logo</source>
        <translation>徽标文字</translation>
    </message>
    <message>
        <source>Batch process</source>
        <translation>批量处理</translation>
    </message>
    <message>
        <source>Copyright © 2024</source>
        <translation>Copyright © 2024</translation>
    </message>
    <message>
        <source>Zotmaker authors</source>
        <translation>Zotmaker 作者</translation>
    </message>
    <message>
        <source>Logo view</source>
        <translation>徽标视图</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>徽标</translation>
    </message>
    <message>
        <source>About Zotmaker</source>
        <translation>关于 Zotmaker</translation>
    </message>
    <message>
        <source>Error list</source>
        <translation>错误列表</translation>
    </message>
    <message>
        <source>Problems found in the design&apos;s script</source>
        <translation>设计脚本中发现的问题</translation>
    </message>
    <message>
        <source>Text %1</source>
        <translation>文字 %1</translation>
    </message>
    <message>
        <source>%1 × %2 pixels: %3</source>
        <translation>%1 × %2 像素：%3</translation>
    </message>
    <message>
        <source>Making logos…</source>
        <translation>正在生成徽标…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Spreadsheet with a header row|*.csv;*.tsv;</source>
        <translation>带标题行的电子表格|*.csv;*.tsv;</translation>
    </message>
    <message>
        <source>The spreadsheet %1 has no column &quot;file&quot; for the names of the logos</source>
        <translation>电子表格 %1 中没有用于徽标名称的“file”列。</translation>
    </message>
</context>
<context>
    <name>zot::TfrmZOT</name>
    <message>
        <source>Make my own copy</source>
        <translation>创建自己的副本</translation>
    </message>
    <message>
        <source>Name of the copy:</source>
        <translation>副本名称：</translation>
    </message>
    <message>
        <source>%1 copy</source>
        <translation>%1 副本</translation>
    </message>
    <message>
        <source>Earlier designs</source>
        <translation>前面的设计</translation>
    </message>
    <message>
        <source>Later designs</source>
        <translation>后面的设计</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Designs without a button</source>
        <translation>没有按钮的设计</translation>
    </message>
    <message>
        <source>Open a design</source>
        <translation>打开设计</translation>
    </message>
    <message>
        <source>Designs</source>
        <translation>设计</translation>
    </message>
    <message>
        <source>Open design folder</source>
        <translation>打开设计文件夹</translation>
    </message>
    <message>
        <source>Make my own copy…</source>
        <translation>创建自己的副本…</translation>
    </message>
    <message>
        <source>Move to trash</source>
        <translation>移到回收站</translation>
    </message>
    <message>
        <source>The design %1 is installed, but the strip is full: right-click its right arrow to open it</source>
        <translation>设计 %1 已安装，但按钮栏已满：请右键单击右侧的箭头来打开它。</translation>
    </message>
    <message>
        <source>Cannot move %1 to the trash</source>
        <translation>无法将 %1 移到回收站。</translation>
    </message>
    <message>
        <source>1 design has no button: right-click here for the list</source>
        <translation>有 1 个设计没有按钮：右键单击此处查看列表</translation>
    </message>
    <message numerus="yes">
        <source>%n designs have no button: right-click here for the list</source>
        <translation>
            <numerusform>有 %n 个设计没有按钮：右键单击此处查看列表</numerusform>
        </translation>
    </message>
    <message>
        <source>A design named %1 is installed already. Replace it?</source>
        <translation>名为 %1 的设计已经安装。要替换它吗？</translation>
    </message>
</context>
</TS>
