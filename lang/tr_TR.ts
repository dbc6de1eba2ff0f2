<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr_TR">
<context>
    <name>Application</name>
    <message>
        <source>%1/lang/</source>
        <translation>%1/lang/</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>VLXLogger</source>
        <translation>VLXLogger</translation>
    </message>
    <message>
        <source>Çıkış</source>
        <translation>Çıkış</translation>
    </message>
    <message>
        <source>Çıkmak istediğinizden emin misiniz?</source>
        <translation>Çıkmak istediğinizden emin misiniz?</translation>
    </message>
    <message>
        <source>Evet</source>
        <translation>Evet</translation>
    </message>
    <message>
        <source>Hayır</source>
        <translation>Hayır</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>DBERROR</source>
        <translation>DBERROR</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Veritabanı Hatası</source>
        <translation>Veritabanı Hatası</translation>
    </message>
    <message>
        <source>Veritabanı bağlantısı sağlanamadı!</source>
        <translation>Veritabanı bağlantısı sağlanamadı!</translation>
    </message>
</context>
</TS>
