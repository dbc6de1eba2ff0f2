<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <translation>Exit</translation>
    </message>
    <message>
        <source>Çıkmak istediğinizden emin misiniz?</source>
        <translation>Are you sure you want to exit?</translation>
    </message>
    <message>
        <source>Evet</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Hayır</source>
        <translation>No</translation>
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
        <translation>OK</translation>
    </message>
    <message>
        <source>Veritabanı Hatası</source>
        <translation>Database Error</translation>
    </message>
    <message>
        <source>Veritabanı bağlantısı sağlanamadı!</source>
        <translation>Could not connect to the database!</translation>
    </message>
</context>
</TS>
