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
    <name>ArchiveLogin</name>
    <message>
        <source>Veritabanı parolası</source>
        <translation>Veritabanı parolası</translation>
    </message>
    <message>
        <source>%1 için parola:</source>
        <translation>%1 için parola:</translation>
    </message>
    <message>
        <source>Bir PostgreSQL adresi değil (postgresql://kullanıcı@sunucu:port/veritabanı).</source>
        <translation>Bir PostgreSQL adresi değil (postgresql://kullanıcı@sunucu:port/veritabanı).</translation>
    </message>
    <message>
        <source>Veritabanı</source>
        <translation>Veritabanı</translation>
    </message>
    <message>
        <source>Bağlantı kurulamadı:</source>
        <translation>Bağlantı kurulamadı:</translation>
    </message>
    <message>
        <source>Arşiv ayarı kaydedildi: %1
Bu çalışmada VLXLOGGER_ARCHIVE ortam değişkeninin arşivi kullanılıyor.</source>
        <translation>Arşiv ayarı kaydedildi: %1
Bu çalışmada VLXLOGGER_ARCHIVE ortam değişkeninin arşivi kullanılıyor.</translation>
    </message>
    <message>
        <source>Arşiv: %1</source>
        <translation>Arşiv: %1</translation>
    </message>
    <message>
        <source>Adreste parola olmasın: parola bağlanırken sorulur ya da PGPASSWORD veya parola dosyasından okunur.</source>
        <translation>Adreste parola olmasın: parola bağlanırken sorulur ya da PGPASSWORD veya parola dosyasından okunur.</translation>
    </message>
</context>
<context>
    <name>ChartTab</name>
    <message>
        <source>İstasyon No ile süz</source>
        <translation>İstasyon No ile süz</translation>
    </message>
    <message>
        <source>İstasyon</source>
        <translation>İstasyon</translation>
    </message>
    <message>
        <source>İstasyon No</source>
        <translation>İstasyon No</translation>
    </message>
    <message>
        <source>Günlük özetler</source>
        <translation>Günlük özetler</translation>
    </message>
    <message>
        <source>Sıfırla</source>
        <translation>Sıfırla</translation>
    </message>
    <message>
        <source>CSV olarak kaydet</source>
        <translation>CSV olarak kaydet</translation>
    </message>
    <message>
        <source>Arşivde kayıtlı dosya yok.</source>
        <translation>Arşivde kayıtlı dosya yok.</translation>
    </message>
    <message>
        <source>CSV dosyaları (*.csv)</source>
        <translation>CSV dosyaları (*.csv)</translation>
    </message>
    <message>
        <source>Dosya yazılamadı:</source>
        <translation>Dosya yazılamadı:</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Dosya okunamadı.</source>
        <translation>Dosya okunamadı.</translation>
    </message>
    <message>
        <source>Dosyada kayıt yok.</source>
        <translation>Dosyada kayıt yok.</translation>
    </message>
    <message>
        <source>İlk Kayıt</source>
        <translation>İlk Kayıt</translation>
    </message>
    <message>
        <source>Son Kayıt</source>
        <translation>Son Kayıt</translation>
    </message>
    <message>
        <source>Anlık Kayıt</source>
        <translation>Anlık Kayıt</translation>
    </message>
    <message>
        <source>Anlık kayıtların sayısı: grafiğin noktaları, CSV'de değeri olan satırlar. Eksik kayıtlar ve günlük özetler sayılmaz.</source>
        <translation>Anlık kayıtların sayısı: grafiğin noktaları, CSV'de değeri olan satırlar. Eksik kayıtlar ve günlük özetler sayılmaz.</translation>
    </message>
    <message>
        <source>Zaman</source>
        <translation>Zaman</translation>
    </message>
    <message>
        <source>Boşluk</source>
        <translation>Boşluk</translation>
    </message>
    <message>
        <source>Arşiv okunamadı.</source>
        <translation>Arşiv okunamadı.</translation>
    </message>
    <message>
        <source>Filtreye uyan dosya yok</source>
        <translation>Filtreye uyan dosya yok</translation>
    </message>
    <message>
        <source>CSV kaydedildi: %1, %2 satır</source>
        <translation>CSV kaydedildi: %1, %2 satır</translation>
    </message>
    <message>
        <source>Kanal %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>boşluk</source>
        <translation>boşluk</translation>
    </message>
    <message>
        <source>CSV alan ayracı: virgül ile ondalık nokta (.), noktalı virgül ile ondalık virgül (,)</source>
        <translation>CSV alan ayracı: virgül ile ondalık nokta (.), noktalı virgül ile ondalık virgül (,)</translation>
    </message>
    <message>
        <source>Virgül (,)</source>
        <translation>Virgül (,)</translation>
    </message>
    <message>
        <source>Noktalı virgül (;)</source>
        <translation>Noktalı virgül (;)</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Debi</translation>
    </message>
    <message>
        <source>Resmi kaydet</source>
        <translation>Resmi kaydet</translation>
    </message>
    <message>
        <source>Grafiği PNG resmi olarak kaydeder.</source>
        <translation>Grafiği PNG resmi olarak kaydeder.</translation>
    </message>
    <message>
        <source>Tüm dosya</source>
        <translation>Tüm dosya</translation>
    </message>
    <message>
        <source>İşaretliyse CSV dosyanın tamamını, değilse grafikte gösterilen aralığı içerir.</source>
        <translation>İşaretliyse CSV dosyanın tamamını, değilse grafikte gösterilen aralığı içerir.</translation>
    </message>
    <message>
        <source>Bu istasyonun debi tablosu yok: %1</source>
        <translation>Bu istasyonun debi tablosu yok: %1</translation>
    </message>
    <message>
        <source>Debi tablosu okunamadı: %1</source>
        <translation>Debi tablosu okunamadı: %1</translation>
    </message>
    <message>
        <source>Debi tablosunda nokta yok: %1</source>
        <translation>Debi tablosunda nokta yok: %1</translation>
    </message>
    <message>
        <source>Debi tablosu: %1</source>
        <translation>Debi tablosu: %1</translation>
    </message>
    <message>
        <source>PNG resimleri (*.png)</source>
        <translation>PNG resimleri (*.png)</translation>
    </message>
    <message>
        <source>Resim kaydedildi: %1</source>
        <translation>Resim kaydedildi: %1</translation>
    </message>
    <message>
        <source>%1: %2 – %3, ort. %4 %5</source>
        <translation>%1: %2 – %3, ort. %4 %5</translation>
    </message>
    <message>
        <source>Hacim: %1 %2</source>
        <translation>Hacim: %1 %2</translation>
    </message>
    <message>
        <source>Arşiv sunucusu: postgresql://kullanıcı@sunucu:5432/veritabanı (boş: data.db)</source>
        <translation>Arşiv sunucusu: postgresql://kullanıcı@sunucu:5432/veritabanı (boş: data.db)</translation>
    </message>
    <message>
        <source>PostgreSQL arşivinin adresi (Archive/url). Parola buraya yazılmaz: PGPASSWORD, parola dosyası ya da bağlanırken sorulur.</source>
        <translation>PostgreSQL arşivinin adresi (Archive/url). Parola buraya yazılmaz: PGPASSWORD, parola dosyası ya da bağlanırken sorulur.</translation>
    </message>
    <message>
        <source>Bağlantıyı dene</source>
        <translation>Bağlantıyı dene</translation>
    </message>
</context>
<context>
    <name>FindModem</name>
    <message>
        <source>Find Modem</source>
        <translation>Find Modem</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>N/A</translation>
    </message>
    <message>
        <source>Available Modems</source>
        <translation>Available Modems</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Select</translation>
    </message>
</context>
<context>
    <name>Form</name>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>GPRS</source>
        <translation>GPRS</translation>
    </message>
    <message>
        <source>GSM</source>
        <translation>GSM</translation>
    </message>
    <message>
        <source>Parametre Oku</source>
        <translation>Parametre Oku</translation>
    </message>
    <message>
        <source>Şifre Değiştir</source>
        <translation>Şifre Değiştir</translation>
    </message>
    <message>
        <source>Sensör Sıfırla</source>
        <translation>Sensör Sıfırla</translation>
    </message>
    <message>
        <source>Alarm Kur</source>
        <translation>Alarm Kur</translation>
    </message>
    <message>
        <source>Çıkış</source>
        <translation>Çıkış</translation>
    </message>
    <message>
        <source>Parametre Bilgileri</source>
        <translation>Parametre Bilgileri</translation>
    </message>
    <message>
        <source>İstasyon Adı</source>
        <translation>İstasyon Adı</translation>
    </message>
    <message>
        <source>İstasyon No</source>
        <translation>İstasyon No</translation>
    </message>
    <message>
        <source>Ofset Deg</source>
        <translation>Ofset Deg</translation>
    </message>
    <message>
        <source>Kayıt Aralığı</source>
        <translation>Kayıt Aralığı</translation>
    </message>
    <message>
        <source>1-9999;</source>
        <translation>1-9999;</translation>
    </message>
    <message>
        <source>1. Kanal Adı</source>
        <translation>1. Kanal Adı</translation>
    </message>
    <message>
        <source>1. Kanal Birim</source>
        <translation>1. Kanal Birim</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
    <message>
        <source>2. Kanal Adı</source>
        <translation>2. Kanal Adı</translation>
    </message>
    <message>
        <source>2. Kanal Birim</source>
        <translation>2. Kanal Birim</translation>
    </message>
    <message>
        <source>Cihaz Tarihi Saati</source>
        <translation>Cihaz Tarihi Saati</translation>
    </message>
    <message>
        <source>Cihaz Model No</source>
        <translation>Cihaz Model No</translation>
    </message>
    <message>
        <source>Cihaz Seri No</source>
        <translation>Cihaz Seri No</translation>
    </message>
    <message>
        <source>Cihaz Kurulum Tarihi</source>
        <translation>Cihaz Kurulum Tarihi</translation>
    </message>
    <message>
        <source>Kullanılan Bellek</source>
        <translation>Kullanılan Bellek</translation>
    </message>
    <message>
        <source>Dosya Adedi</source>
        <translation>Dosya Adedi</translation>
    </message>
    <message>
        <source>Dosya</source>
        <translation>Dosya</translation>
    </message>
    <message>
        <source>Anlık</source>
        <translation>Anlık</translation>
    </message>
    <message>
        <source>Batarya Durumu:</source>
        <translation>Batarya Durumu:</translation>
    </message>
    <message>
        <source>Anlık Seviye:</source>
        <translation>Anlık Seviye:</translation>
    </message>
    <message>
        <source>Anlık Sıcaklık:</source>
        <translation>Anlık Sıcaklık:</translation>
    </message>
    <message>
        <source>Anlık Debi:</source>
        <translation>Anlık Debi:</translation>
    </message>
    <message>
        <source>Son 24 Saat Min/Max</source>
        <translation>Son 24 Saat Min/Max</translation>
    </message>
    <message>
        <source>Max Seviye</source>
        <translation>Max Seviye</translation>
    </message>
    <message>
        <source>00/00/00 00:00 0</source>
        <translation>00/00/00 00:00 0</translation>
    </message>
    <message>
        <source>Min Seviye</source>
        <translation>Min Seviye</translation>
    </message>
    <message>
        <source>Max Sıcaklık</source>
        <translation>Max Sıcaklık</translation>
    </message>
    <message>
        <source>Min Sıcaklık</source>
        <translation>Min Sıcaklık</translation>
    </message>
    <message>
        <source>Kayıt Bilgisi</source>
        <translation>Kayıt Bilgisi</translation>
    </message>
    <message>
        <source>Ortalama Kayıt (Dakika)</source>
        <translation>Ortalama Kayıt (Dakika)</translation>
    </message>
    <message>
        <source>Anlık Kayıt</source>
        <translation>Anlık Kayıt</translation>
    </message>
    <message>
        <source>Günlük Min/Max</source>
        <translation>Günlük Min/Max</translation>
    </message>
    <message>
        <source>Kayıt içindeki Min/Max</source>
        <translation>Kayıt içindeki Min/Max</translation>
    </message>
    <message>
        <source>Anlık içindeki Min/Max</source>
        <translation>Anlık içindeki Min/Max</translation>
    </message>
    <message>
        <source>Günlük Ortalama Tipi</source>
        <translation>Günlük Ortalama Tipi</translation>
    </message>
    <message>
        <source>Anlıktaki verilerin ortalaması</source>
        <translation>Anlıktaki verilerin ortalaması</translation>
    </message>
    <message>
        <source>Kayıttaki verilerin ortalaması</source>
        <translation>Kayıttaki verilerin ortalaması</translation>
    </message>
    <message>
        <source>Ölçüm Tipi</source>
        <translation>Ölçüm Tipi</translation>
    </message>
    <message>
        <source>Baraj</source>
        <translation>Baraj</translation>
    </message>
    <message>
        <source>Kuyu</source>
        <translation>Kuyu</translation>
    </message>
    <message>
        <source>Diğer</source>
        <translation>Diğer</translation>
    </message>
    <message>
        <source>RS485 Çıkış</source>
        <translation>RS485 Çıkış</translation>
    </message>
    <message>
        <source>Kayıt için tam saati bekle</source>
        <translation>Kayıt için tam saati bekle</translation>
    </message>
    <message>
        <source>Kurulum Değerleri Yükle</source>
        <translation>Kurulum Değerleri Yükle</translation>
    </message>
    <message>
        <source>Veri Aktar</source>
        <translation>Veri Aktar</translation>
    </message>
    <message>
        <source>Alarm Bilgileri</source>
        <translation>Alarm Bilgileri</translation>
    </message>
    <message>
        <source>Değerler</source>
        <translation>Değerler</translation>
    </message>
    <message>
        <source>Kanal 1</source>
        <translation>Kanal 1</translation>
    </message>
    <message>
        <source>Yüksek</source>
        <translation>Yüksek</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Kanal 2</source>
        <translation>Kanal 2</translation>
    </message>
    <message>
        <source>Gelen Alarm</source>
        <translation>Gelen Alarm</translation>
    </message>
    <message>
        <source>Tarih</source>
        <translation>Tarih</translation>
    </message>
    <message>
        <source>00.00.0000</source>
        <translation>00.00.0000</translation>
    </message>
    <message>
        <source>Saat</source>
        <translation>Saat</translation>
    </message>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
    </message>
    <message>
        <source>Değer</source>
        <translation>Değer</translation>
    </message>
    <message>
        <source>Çıkış Rölesi</source>
        <translation>Çıkış Rölesi</translation>
    </message>
    <message>
        <source>Role 1</source>
        <translation>Role 1</translation>
    </message>
    <message>
        <source>Role 2</source>
        <translation>Role 2</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Port açılamadı</source>
        <translation>Port açılamadı</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir IP adresi girin!</source>
        <translation>Lütfen geçerli bir IP adresi girin!</translation>
    </message>
    <message>
        <source>Bağlantı için bekleniyor...</source>
        <translation>Bağlantı için bekleniyor...</translation>
    </message>
    <message>
        <source>Bağlantı sağlanamadı!</source>
        <translation>Bağlantı sağlanamadı!</translation>
    </message>
    <message>
        <source>Socket Error</source>
        <translation>Socket Error</translation>
    </message>
    <message>
        <source>Karşı modem bağlantıyı kapattı!</source>
        <translation>Karşı modem bağlantıyı kapattı!</translation>
    </message>
    <message>
        <source>Error No : %1
Error Msg: %2</source>
        <translation>Error No : %1
Error Msg: %2</translation>
    </message>
    <message>
        <source>Veri için bekleniyor...</source>
        <translation>Veri için bekleniyor...</translation>
    </message>
    <message>
        <source>Cihazdan gelen bilgi eksik!</source>
        <translation>Cihazdan gelen bilgi eksik!</translation>
    </message>
    <message>
        <source>Alarm bilgileri yüklendi.</source>
        <translation>Alarm bilgileri yüklendi.</translation>
    </message>
    <message>
        <source>Alarm bilgileri doğrulanamadı!</source>
        <translation>Alarm bilgileri doğrulanamadı!</translation>
    </message>
    <message>
        <source>Parametre bilgileri okundu</source>
        <translation>Parametre bilgileri okundu</translation>
    </message>
    <message>
        <source>Şifre değişti.</source>
        <translation>Şifre değişti.</translation>
    </message>
    <message>
        <source>Eski şifre yanlış!</source>
        <translation>Eski şifre yanlış!</translation>
    </message>
    <message>
        <source>Sensör sıfırlandı.</source>
        <translation>Sensör sıfırlandı.</translation>
    </message>
    <message>
        <source>Şifre yanlış!</source>
        <translation>Şifre yanlış!</translation>
    </message>
    <message>
        <source>Parametre Yükleme</source>
        <translation>Parametre Yükleme</translation>
    </message>
    <message>
        <source>Parametre bilgileri yüklendi.</source>
        <translation>Parametre bilgileri yüklendi.</translation>
    </message>
    <message>
        <source>Aktarım Hatası</source>
        <translation>Aktarım Hatası</translation>
    </message>
    <message>
        <source>Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin.</source>
        <translation>Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Hepsi</source>
        <translation>Hepsi</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>İşlem kullanıcı tarafından iptal edildi!</source>
        <translation>İşlem kullanıcı tarafından iptal edildi!</translation>
    </message>
    <message>
        <source>Evet</source>
        <translation>Evet</translation>
    </message>
    <message>
        <source>Hayır</source>
        <translation>Hayır</translation>
    </message>
    <message>
        <source>&lt;html&gt;Cihazdaki veriler silinsin mi?&lt;br&gt;&lt;br&gt;&lt;table&gt;&lt;tr&gt;&lt;th align='left'&gt;%1&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki tüm dosya ve veriler silinecek&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%2&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki en son dosya ve veriler saklanıp yeni dosya oluşacak&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%3&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;İşlemi iptal et&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;Cihazdaki veriler silinsin mi?&lt;br&gt;&lt;br&gt;&lt;table&gt;&lt;tr&gt;&lt;th align='left'&gt;%1&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki tüm dosya ve veriler silinecek&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%2&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki en son dosya ve veriler saklanıp yeni dosya oluşacak&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%3&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;İşlemi iptal et&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Dosya Eylemi</source>
        <translation>Dosya Eylemi</translation>
    </message>
    <message>
        <source>Uyarı</source>
        <translation>Uyarı</translation>
    </message>
    <message>
        <source>Sensörün suyun dışında olduğundan emin olun!</source>
        <translation>Sensörün suyun dışında olduğundan emin olun!</translation>
    </message>
    <message>
        <source>Cihazda aktarılacak veri yok.</source>
        <translation>Cihazda aktarılacak veri yok.</translation>
    </message>
    <message>
        <source>Boyut hatalı!</source>
        <translation>Boyut hatalı!</translation>
    </message>
    <message>
        <source>Veri İndiriliyor</source>
        <translation>Veri İndiriliyor</translation>
    </message>
    <message>
        <source>Paket</source>
        <translation>Paket</translation>
    </message>
    <message>
        <source>Deneme</source>
        <translation>Deneme</translation>
    </message>
    <message>
        <source>Mesaj</source>
        <translation>Mesaj</translation>
    </message>
    <message>
        <source>Veri analiz ediliyor...</source>
        <translation>Veri analiz ediliyor...</translation>
    </message>
    <message>
        <source>Veri ayrıştırılıyor...</source>
        <translation>Veri ayrıştırılıyor...</translation>
    </message>
    <message>
        <source>Veri Hatası</source>
        <translation>Veri Hatası</translation>
    </message>
    <message>
        <source>Veri hatalı!

Lütfen tekrar aktarım yapın.</source>
        <translation>Veri hatalı!

Lütfen tekrar aktarım yapın.</translation>
    </message>
    <message>
        <source>Veride dosya başlığı bulunamadı.</source>
        <translation>Veride dosya başlığı bulunamadı.</translation>
    </message>
    <message>
        <source>Aktarım</source>
        <translation>Aktarım</translation>
    </message>
    <message>
        <source>Dosya yazılamadı:</source>
        <translation>Dosya yazılamadı:</translation>
    </message>
    <message>
        <source>Aktarım Tamamlandı</source>
        <translation>Aktarım Tamamlandı</translation>
    </message>
    <message>
        <source>Pazartesi</source>
        <translation>Pazartesi</translation>
    </message>
    <message>
        <source>Salı</source>
        <translation>Salı</translation>
    </message>
    <message>
        <source>Çarşamba</source>
        <translation>Çarşamba</translation>
    </message>
    <message>
        <source>Perşembe</source>
        <translation>Perşembe</translation>
    </message>
    <message>
        <source>Cuma</source>
        <translation>Cuma</translation>
    </message>
    <message>
        <source>Cumartesi</source>
        <translation>Cumartesi</translation>
    </message>
    <message>
        <source>Pazar</source>
        <translation>Pazar</translation>
    </message>
    <message>
        <source>Verideki dosya başlığı eksik.</source>
        <translation>Verideki dosya başlığı eksik.</translation>
    </message>
    <message>
        <source>Veritabanı</source>
        <translation>Veritabanı</translation>
    </message>
    <message>
        <source>Veriler kaydedilemedi:</source>
        <translation>Veriler kaydedilemedi:</translation>
    </message>
    <message>
        <source>Veriler kaydediliyor...</source>
        <translation>Veriler kaydediliyor...</translation>
    </message>
    <message>
        <source>Grafik</source>
        <translation>Grafik</translation>
    </message>
    <message>
        <source>Tüm belleği aktar</source>
        <translation>Tüm belleği aktar</translation>
    </message>
    <message>
        <source>Yalnızca yeni veriler: blok %1 ve sonrası</source>
        <translation>Yalnızca yeni veriler: blok %1 ve sonrası</translation>
    </message>
    <message>
        <source>Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.</source>
        <translation>Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.</translation>
    </message>
    <message>
        <source>Bağlantıyı Kes</source>
        <translation>Bağlantıyı Kes</translation>
    </message>
    <message>
        <source>%1 bayt</source>
        <translation>%1 bayt</translation>
    </message>
    <message>
        <source>%1 (%2 bayt)</source>
        <translation>%1 (%2 bayt)</translation>
    </message>
    <message>
        <source>Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.</source>
        <translation>Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.</translation>
    </message>
    <message>
        <source>Yeni kayıt: %1</source>
        <translation>Yeni kayıt: %1</translation>
    </message>
    <message>
        <source> ve %1 günlük özet değeri</source>
        <translation> ve %1 günlük özet değeri</translation>
    </message>
    <message>
        <source>Yeni kayıtlar: %1 – %2</source>
        <translation>Yeni kayıtlar: %1 – %2</translation>
    </message>
    <message>
        <source>Kaydedilen dosyalar: %1</source>
        <translation>Kaydedilen dosyalar: %1</translation>
    </message>
    <message>
        <source>Dışa aktarım: %1</source>
        <translation>Dışa aktarım: %1</translation>
    </message>
    <message>
        <source>Dışa aktarım dosyası masaüstü uygulamasıyla açılamadı.</source>
        <translation>Dışa aktarım dosyası masaüstü uygulamasıyla açılamadı.</translation>
    </message>
    <message>
        <source>Sonraki deneme için saklanan: %1 blok</source>
        <translation>Sonraki deneme için saklanan: %1 blok</translation>
    </message>
    <message>
        <source>%1/%2 bayt</source>
        <translation>%1/%2 bayt</translation>
    </message>
    <message>
        <source>kalan %1</source>
        <translation>kalan %1</translation>
    </message>
    <message>
        <source>Saklanan</source>
        <translation>Saklanan</translation>
    </message>
    <message>
        <source>%1 blok</source>
        <translation>%1 blok</translation>
    </message>
    <message>
        <source>Başka bir işlem sürüyor; lütfen bitmesini bekleyin.</source>
        <translation>Başka bir işlem sürüyor; lütfen bitmesini bekleyin.</translation>
    </message>
    <message>
        <source>Bağlantı kapandı.</source>
        <translation>Bağlantı kapandı.</translation>
    </message>
    <message>
        <source>Modem bağlantıyı kuramadı.</source>
        <translation>Modem bağlantıyı kuramadı.</translation>
    </message>
    <message>
        <source>Cihaz yanıt vermiyor.</source>
        <translation>Cihaz yanıt vermiyor.</translation>
    </message>
    <message>
        <source>İstasyonlar</source>
        <translation>İstasyonlar</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Debi</translation>
    </message>
    <message>
        <source>İstasyon %1, kurulum %2: aktarılan veri arşivdeki kayıtlarla uyuşmuyor (arşivde %3 kayıt, bu aktarımda %4 kayıt). Arşivdeki kayıtlar korundu; aktarılan veri dosyanın yeni bir sürümü olarak ayrıca kaydedildi.</source>
        <translation>İstasyon %1, kurulum %2: aktarılan veri arşivdeki kayıtlarla uyuşmuyor (arşivde %3 kayıt, bu aktarımda %4 kayıt). Arşivdeki kayıtlar korundu; aktarılan veri dosyanın yeni bir sürümü olarak ayrıca kaydedildi.</translation>
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
    <message>
        <source>Veritabanı</source>
        <translation>Veritabanı</translation>
    </message>
    <message>
        <source>Arşiv yerel veritabanında tutulur: %1</source>
        <translation>Arşiv yerel veritabanında tutulur: %1</translation>
    </message>
    <message>
        <source>Arşiv sunucusuna bağlanılamadı:</source>
        <translation>Arşiv sunucusuna bağlanılamadı:</translation>
    </message>
</context>
<context>
    <name>RatingTab</name>
    <message>
        <source>Tablo aç...</source>
        <translation>Tablo aç...</translation>
    </message>
    <message>
        <source>Debi klasöründen bir tablo açar.</source>
        <translation>Debi klasöründen bir tablo açar.</translation>
    </message>
    <message>
        <source>Geçerlilik dönemi: bir kaydın debisi, kaydın zamanında geçerli olan son dönemin tablosundan hesaplanır.</source>
        <translation>Geçerlilik dönemi: bir kaydın debisi, kaydın zamanında geçerli olan son dönemin tablosundan hesaplanır.</translation>
    </message>
    <message>
        <source>Yeni dönem</source>
        <translation>Yeni dönem</translation>
    </message>
    <message>
        <source>Seçili dönemin noktalarıyla yeni bir geçerlilik dönemi başlatır (örneğin bir taşkından sonra).</source>
        <translation>Seçili dönemin noktalarıyla yeni bir geçerlilik dönemi başlatır (örneğin bir taşkından sonra).</translation>
    </message>
    <message>
        <source>Dönemi sil</source>
        <translation>Dönemi sil</translation>
    </message>
    <message>
        <source>Başlangıç:</source>
        <translation>Başlangıç:</translation>
    </message>
    <message>
        <source>yyyy-MM-dd hh:mm (boş: en baştan)</source>
        <translation>yyyy-MM-dd hh:mm (boş: en baştan)</translation>
    </message>
    <message>
        <source>Ara değer:</source>
        <translation>Ara değer:</translation>
    </message>
    <message>
        <source>Doğrusal</source>
        <translation>Doğrusal</translation>
    </message>
    <message>
        <source>Log-log</source>
        <translation>Log-log</translation>
    </message>
    <message>
        <source>Debi birimi:</source>
        <translation>Debi birimi:</translation>
    </message>
    <message>
        <source>Seviye</source>
        <translation>Seviye</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Debi</translation>
    </message>
    <message>
        <source>Satır ekle</source>
        <translation>Satır ekle</translation>
    </message>
    <message>
        <source>Satır sil</source>
        <translation>Satır sil</translation>
    </message>
    <message>
        <source>Vazgeç</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>Değişiklikleri bırakıp tabloyu dosyadan yeniden okur.</source>
        <translation>Değişiklikleri bırakıp tabloyu dosyadan yeniden okur.</translation>
    </message>
    <message>
        <source>Kaydet</source>
        <translation>Kaydet</translation>
    </message>
    <message>
        <source>Grafik sekmesinde bir dosya seçin ya da Debi klasöründen bir tablo açın.</source>
        <translation>Grafik sekmesinde bir dosya seçin ya da Debi klasöründen bir tablo açın.</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var: %1 istasyonunun tablosu, bunlar kaydedilince ya da bırakılınca gösterilir.</source>
        <translation>Kaydedilmemiş değişiklikler var: %1 istasyonunun tablosu, bunlar kaydedilince ya da bırakılınca gösterilir.</translation>
    </message>
    <message>
        <source>Debi tablosu</source>
        <translation>Debi tablosu</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var. Önce kaydedin ya da vazgeçin.</source>
        <translation>Kaydedilmemiş değişiklikler var. Önce kaydedin ya da vazgeçin.</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Debi tablosu aç</source>
        <translation>Debi tablosu aç</translation>
    </message>
    <message>
        <source>Debi tabloları (*.abk)</source>
        <translation>Debi tabloları (*.abk)</translation>
    </message>
    <message>
        <source>En baştan</source>
        <translation>En baştan</translation>
    </message>
    <message>
        <source>%1 itibaren</source>
        <translation>%1 itibaren</translation>
    </message>
    <message>
        <source>Debi [%1]</source>
        <translation>Debi [%1]</translation>
    </message>
    <message>
        <source>Debi tablosu okunamadı: %1</source>
        <translation>Debi tablosu okunamadı: %1</translation>
    </message>
    <message>
        <source>Debi tablosu kullanılamıyor: %1</source>
        <translation>Debi tablosu kullanılamıyor: %1</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var.</source>
        <translation>Kaydedilmemiş değişiklikler var.</translation>
    </message>
    <message>
        <source>Bu istasyonun debi tablosu yok: %1. Noktaları girip kaydedince oluşturulur.</source>
        <translation>Bu istasyonun debi tablosu yok: %1. Noktaları girip kaydedince oluşturulur.</translation>
    </message>
    <message>
        <source>Tablo kaydedilmedi; dosya olduğu gibi kaldı:</source>
        <translation>Tablo kaydedilmedi; dosya olduğu gibi kaldı:</translation>
    </message>
    <message>
        <source>Kaydedildi: %1</source>
        <translation>Kaydedildi: %1</translation>
    </message>
</context>
<context>
    <name>RatingTable</name>
    <message>
        <source> (satır %1)</source>
        <translation> (satır %1)</translation>
    </message>
    <message>
        <source>Dosya yok: %1</source>
        <translation>Dosya yok: %1</translation>
    </message>
    <message>
        <source>Dosya okunamadı: %1: %2</source>
        <translation>Dosya okunamadı: %1: %2</translation>
    </message>
    <message>
        <source>XML hatası, satır %1: %2</source>
        <translation>XML hatası, satır %1: %2</translation>
    </message>
    <message>
        <source>Debi tablosu değil: belge öğesi &lt;%1&gt;, &lt;ROOT&gt; olmalı</source>
        <translation>Debi tablosu değil: belge öğesi &lt;%1&gt;, &lt;ROOT&gt; olmalı</translation>
    </message>
    <message>
        <source>Yanlış istasyon kodu: dosyada "%1", beklenen "%2"</source>
        <translation>Yanlış istasyon kodu: dosyada "%1", beklenen "%2"</translation>
    </message>
    <message>
        <source>FROM okunamadı: "%1"%2; yyyy-MM-dd hh:mm olmalı</source>
        <translation>FROM okunamadı: "%1"%2; yyyy-MM-dd hh:mm olmalı</translation>
    </message>
    <message>
        <source>Bilinmeyen INTERP "%1"%2: "linear" ya da "log" olmalı</source>
        <translation>Bilinmeyen INTERP "%1"%2: "linear" ya da "log" olmalı</translation>
    </message>
    <message>
        <source>Dönemlerin birimleri farklı: %1 ve %2</source>
        <translation>Dönemlerin birimleri farklı: %1 ve %2</translation>
    </message>
    <message>
        <source>Seviye okunamadı: "%1"%2</source>
        <translation>Seviye okunamadı: "%1"%2</translation>
    </message>
    <message>
        <source>Debi okunamadı: "%1" (seviye %2)%3</source>
        <translation>Debi okunamadı: "%1" (seviye %2)%3</translation>
    </message>
    <message>
        <source>Negatif debi: %1 (seviye %2)%3</source>
        <translation>Negatif debi: %1 (seviye %2)%3</translation>
    </message>
    <message>
        <source>Aynı seviye iki kez: %1%2</source>
        <translation>Aynı seviye iki kez: %1%2</translation>
    </message>
    <message>
        <source>Seviyeler sırasız: %1, %2 seviyesinden sonra%3</source>
        <translation>Seviyeler sırasız: %1, %2 seviyesinden sonra%3</translation>
    </message>
    <message>
        <source>İki dönem aynı anda başlıyor: %1</source>
        <translation>İki dönem aynı anda başlıyor: %1</translation>
    </message>
    <message>
        <source>İki dönem başlangıçtan geçerli: birinin FROM'u olmalı</source>
        <translation>İki dönem başlangıçtan geçerli: birinin FROM'u olmalı</translation>
    </message>
    <message>
        <source>Dosya yazılamadı: %1: %2</source>
        <translation>Dosya yazılamadı: %1: %2</translation>
    </message>
</context>
<context>
    <name>Sifre</name>
    <message>
        <source>Şifre</source>
        <translation>Şifre</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir şifre girin!</source>
        <translation>Lütfen geçerli bir şifre girin!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>SifreDegistir</name>
    <message>
        <source>Şifre Değiştir</source>
        <translation>Şifre Değiştir</translation>
    </message>
    <message>
        <source>Eski Şifre</source>
        <translation>Eski Şifre</translation>
    </message>
    <message>
        <source>Yeni Şifre</source>
        <translation>Yeni Şifre</translation>
    </message>
    <message>
        <source>Yeni Şifre (Tekrar)</source>
        <translation>Yeni Şifre (Tekrar)</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Lütfen geçerli şifreyi girin!</source>
        <translation>Lütfen geçerli şifreyi girin!</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir şifre girin!</source>
        <translation>Lütfen geçerli bir şifre girin!</translation>
    </message>
    <message>
        <source>Girilen yeni şifre bilgileri aynı değil!</source>
        <translation>Girilen yeni şifre bilgileri aynı değil!</translation>
    </message>
</context>
<context>
    <name>StationArchive</name>
    <message>
        <source>Veritabanı bozuk: %1
(%2)
Dosyayı yedeğinden geri yükleyin ya da başka bir yere taşıyın; yerine yeni, boş bir veritabanı açılır. Bozuk veritabanına hiçbir şey yazılmaz.</source>
        <translation>Veritabanı bozuk: %1
(%2)
Dosyayı yedeğinden geri yükleyin ya da başka bir yere taşıyın; yerine yeni, boş bir veritabanı açılır. Bozuk veritabanına hiçbir şey yazılmaz.</translation>
    </message>
</context>
<context>
    <name>StationVisit</name>
    <message>
        <source>Toplayıcı durduruldu; ziyaret yarıda bırakıldı.</source>
        <translation>Toplayıcı durduruldu; ziyaret yarıda bırakıldı.</translation>
    </message>
    <message>
        <source>Modem bulunamadı</source>
        <translation>Modem bulunamadı</translation>
    </message>
    <message>
        <source>Modem hazırlanamadı!</source>
        <translation>Modem hazırlanamadı!</translation>
    </message>
    <message>
        <source>Modem aranıyor</source>
        <translation>Modem aranıyor</translation>
    </message>
    <message>
        <source>Ziyaret %1 saniyede bitmedi.</source>
        <translation>Ziyaret %1 saniyede bitmedi.</translation>
    </message>
    <message>
        <source>Bağlantı kurulamadı.</source>
        <translation>Bağlantı kurulamadı.</translation>
    </message>
</context>
<context>
    <name>StationsTab</name>
    <message>
        <source>İstasyon dosyası:</source>
        <translation>İstasyon dosyası:</translation>
    </message>
    <message>
        <source>Seçilmedi</source>
        <translation>Seçilmedi</translation>
    </message>
    <message>
        <source>Seç...</source>
        <translation>Seç...</translation>
    </message>
    <message>
        <source>İstasyon</source>
        <translation>İstasyon</translation>
    </message>
    <message>
        <source>Durum</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>Son Başarı</source>
        <translation>Son Başarı</translation>
    </message>
    <message>
        <source>En Yeni Kayıt</source>
        <translation>En Yeni Kayıt</translation>
    </message>
    <message>
        <source>Seviye</source>
        <translation>Seviye</translation>
    </message>
    <message>
        <source>Sıcaklık</source>
        <translation>Sıcaklık</translation>
    </message>
    <message>
        <source>Saat Farkı (s)</source>
        <translation>Saat Farkı (s)</translation>
    </message>
    <message>
        <source>Cihaz saati eksi bilgisayar saati, saniye</source>
        <translation>Cihaz saati eksi bilgisayar saati, saniye</translation>
    </message>
    <message>
        <source>Son Hata</source>
        <translation>Son Hata</translation>
    </message>
    <message>
        <source>Şimdi topla</source>
        <translation>Şimdi topla</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Gecikmeli</source>
        <translation>Gecikmeli</translation>
    </message>
    <message>
        <source>Ulaşılamıyor</source>
        <translation>Ulaşılamıyor</translation>
    </message>
    <message>
        <source>İstasyon dosyası seçilmedi.</source>
        <translation>İstasyon dosyası seçilmedi.</translation>
    </message>
    <message>
        <source>İstasyon dosyası okunamadı: %1</source>
        <translation>İstasyon dosyası okunamadı: %1</translation>
    </message>
    <message>
        <source>Toplama kaydı okunamadı: %1</source>
        <translation>Toplama kaydı okunamadı: %1</translation>
    </message>
    <message>
        <source>İstasyon dosyası</source>
        <translation>İstasyon dosyası</translation>
    </message>
    <message>
        <source>İstasyon dosyaları (*.ini);;Tüm dosyalar (*)</source>
        <translation>İstasyon dosyaları (*.ini);;Tüm dosyalar (*)</translation>
    </message>
    <message>
        <source>%1 toplanamaz: formun bağlantısı aynı hatta açık (%2). Önce formdaki bağlantıyı kesin.</source>
        <translation>%1 toplanamaz: formun bağlantısı aynı hatta açık (%2). Önce formdaki bağlantıyı kesin.</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>%1 toplanıyor...</source>
        <translation>%1 toplanıyor...</translation>
    </message>
    <message>
        <source>Blok %1 / %2</source>
        <translation>Blok %1 / %2</translation>
    </message>
    <message>
        <source>kalan %1 s</source>
        <translation>kalan %1 s</translation>
    </message>
    <message>
        <source>%1: %2. deneme başarısız (%3); %4 s sonra yeniden denenecek.</source>
        <translation>%1: %2. deneme başarısız (%3); %4 s sonra yeniden denenecek.</translation>
    </message>
    <message>
        <source>Arşive eklenen satır: %1</source>
        <translation>Arşive eklenen satır: %1</translation>
    </message>
    <message>
        <source>En yeni kayıt: %1</source>
        <translation>En yeni kayıt: %1</translation>
    </message>
    <message>
        <source>yok</source>
        <translation>yok</translation>
    </message>
    <message>
        <source>%1 toplandı.</source>
        <translation>%1 toplandı.</translation>
    </message>
    <message>
        <source>%1 toplanamadı.</source>
        <translation>%1 toplanamadı.</translation>
    </message>
</context>
</TS>
