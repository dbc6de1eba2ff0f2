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
    <name>ArchiveLogin</name>
    <message>
        <source>Veritabanı parolası</source>
        <translation>Database password</translation>
    </message>
    <message>
        <source>%1 için parola:</source>
        <translation>Password for %1:</translation>
    </message>
    <message>
        <source>Bir PostgreSQL adresi değil (postgresql://kullanıcı@sunucu:port/veritabanı).</source>
        <translation>Not a PostgreSQL address (postgresql://user@host:port/dbname).</translation>
    </message>
    <message>
        <source>Veritabanı</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Bağlantı kurulamadı:</source>
        <translation>Could not connect:</translation>
    </message>
    <message>
        <source>Arşiv ayarı kaydedildi: %1
Bu çalışmada VLXLOGGER_ARCHIVE ortam değişkeninin arşivi kullanılıyor.</source>
        <translation>Archive setting saved: %1
This run uses the archive of the environment variable VLXLOGGER_ARCHIVE.</translation>
    </message>
    <message>
        <source>Arşiv: %1</source>
        <translation>Archive: %1</translation>
    </message>
    <message>
        <source>Adreste parola olmasın: parola bağlanırken sorulur ya da PGPASSWORD veya parola dosyasından okunur.</source>
        <translation>No password in the address: it is asked when connecting, or read from PGPASSWORD or the password file.</translation>
    </message>
</context>
<context>
    <name>ChartTab</name>
    <message>
        <source>İstasyon No ile süz</source>
        <translation>Filter by station number</translation>
    </message>
    <message>
        <source>İstasyon</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>İstasyon No</source>
        <translation>Station No</translation>
    </message>
    <message>
        <source>Günlük özetler</source>
        <translation>Daily summaries</translation>
    </message>
    <message>
        <source>Sıfırla</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>CSV olarak kaydet</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>Arşivde kayıtlı dosya yok.</source>
        <translation>The archive holds no files.</translation>
    </message>
    <message>
        <source>CSV dosyaları (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Dosya yazılamadı:</source>
        <translation>The file could not be written:</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Dosya okunamadı.</source>
        <translation>The file could not be read.</translation>
    </message>
    <message>
        <source>Dosyada kayıt yok.</source>
        <translation>The file holds no records.</translation>
    </message>
    <message>
        <source>İlk Kayıt</source>
        <translation>First Record</translation>
    </message>
    <message>
        <source>Son Kayıt</source>
        <translation>Last Record</translation>
    </message>
    <message>
        <source>Anlık Kayıt</source>
        <translation>Instantaneous Records</translation>
    </message>
    <message>
        <source>Anlık kayıtların sayısı: grafiğin noktaları, CSV'de değeri olan satırlar. Eksik kayıtlar ve günlük özetler sayılmaz.</source>
        <translation>The number of instantaneous records: the chart's points, the CSV lines with values. Missing records and daily summaries are not counted.</translation>
    </message>
    <message>
        <source>Zaman</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Boşluk</source>
        <translation>Gap</translation>
    </message>
    <message>
        <source>Arşiv okunamadı.</source>
        <translation>The archive could not be read.</translation>
    </message>
    <message>
        <source>Filtreye uyan dosya yok</source>
        <translation>No file matches the filter</translation>
    </message>
    <message>
        <source>CSV kaydedildi: %1, %2 satır</source>
        <translation>CSV saved: %1, %2 lines</translation>
    </message>
    <message>
        <source>Kanal %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>boşluk</source>
        <translation>gap</translation>
    </message>
    <message>
        <source>CSV alan ayracı: virgül ile ondalık nokta (.), noktalı virgül ile ondalık virgül (,)</source>
        <translation>CSV field separator: comma with a decimal point (.), semicolon with a decimal comma (,)</translation>
    </message>
    <message>
        <source>Virgül (,)</source>
        <translation>Comma (,)</translation>
    </message>
    <message>
        <source>Noktalı virgül (;)</source>
        <translation>Semicolon (;)</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>Resmi kaydet</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>Grafiği PNG resmi olarak kaydeder.</source>
        <translation>Saves the chart as a PNG picture.</translation>
    </message>
    <message>
        <source>Tüm dosya</source>
        <translation>Whole file</translation>
    </message>
    <message>
        <source>İşaretliyse CSV dosyanın tamamını, değilse grafikte gösterilen aralığı içerir.</source>
        <translation>When checked the CSV holds the whole file, otherwise the span shown in the chart.</translation>
    </message>
    <message>
        <source>Bu istasyonun debi tablosu yok: %1</source>
        <translation>This station has no rating table: %1</translation>
    </message>
    <message>
        <source>Debi tablosu okunamadı: %1</source>
        <translation>The rating table could not be read: %1</translation>
    </message>
    <message>
        <source>Debi tablosunda nokta yok: %1</source>
        <translation>The rating table has no points: %1</translation>
    </message>
    <message>
        <source>Debi tablosu: %1</source>
        <translation>Rating table: %1</translation>
    </message>
    <message>
        <source>PNG resimleri (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>Resim kaydedildi: %1</source>
        <translation>Picture saved: %1</translation>
    </message>
    <message>
        <source>%1: %2 – %3, ort. %4 %5</source>
        <translation>%1: %2 – %3, mean %4 %5</translation>
    </message>
    <message>
        <source>Hacim: %1 %2</source>
        <translation>Volume: %1 %2</translation>
    </message>
    <message>
        <source>Arşiv sunucusu: postgresql://kullanıcı@sunucu:5432/veritabanı (boş: data.db)</source>
        <translation>Archive server: postgresql://user@host:5432/dbname (empty: data.db)</translation>
    </message>
    <message>
        <source>PostgreSQL arşivinin adresi (Archive/url). Parola buraya yazılmaz: PGPASSWORD, parola dosyası ya da bağlanırken sorulur.</source>
        <translation>Address of the PostgreSQL archive (Archive/url). No password here: PGPASSWORD, the password file, or asked when connecting.</translation>
    </message>
    <message>
        <source>Bağlantıyı dene</source>
        <translation>Test connection</translation>
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
        <translation>Read Parameters</translation>
    </message>
    <message>
        <source>Şifre Değiştir</source>
        <translation>Change Password</translation>
    </message>
    <message>
        <source>Sensör Sıfırla</source>
        <translation>Zero Sensor</translation>
    </message>
    <message>
        <source>Alarm Kur</source>
        <translation>Set Alarm</translation>
    </message>
    <message>
        <source>Çıkış</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Parametre Bilgileri</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>İstasyon Adı</source>
        <translation>Station Name</translation>
    </message>
    <message>
        <source>İstasyon No</source>
        <translation>Station No</translation>
    </message>
    <message>
        <source>Ofset Deg</source>
        <translation>Offset Value</translation>
    </message>
    <message>
        <source>Kayıt Aralığı</source>
        <translation>Record Interval</translation>
    </message>
    <message>
        <source>1-9999;</source>
        <translation>1-9999;</translation>
    </message>
    <message>
        <source>1. Kanal Adı</source>
        <translation>Channel 1 Name</translation>
    </message>
    <message>
        <source>1. Kanal Birim</source>
        <translation>Channel 1 Unit</translation>
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
        <translation>Channel 2 Name</translation>
    </message>
    <message>
        <source>2. Kanal Birim</source>
        <translation>Channel 2 Unit</translation>
    </message>
    <message>
        <source>Cihaz Tarihi Saati</source>
        <translation>Device Date and Time</translation>
    </message>
    <message>
        <source>Cihaz Model No</source>
        <translation>Device Model No</translation>
    </message>
    <message>
        <source>Cihaz Seri No</source>
        <translation>Device Serial No</translation>
    </message>
    <message>
        <source>Cihaz Kurulum Tarihi</source>
        <translation>Installation Date</translation>
    </message>
    <message>
        <source>Kullanılan Bellek</source>
        <translation>Used Memory</translation>
    </message>
    <message>
        <source>Dosya Adedi</source>
        <translation>Number of Files</translation>
    </message>
    <message>
        <source>Dosya</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Anlık</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>Batarya Durumu:</source>
        <translation>Battery State:</translation>
    </message>
    <message>
        <source>Anlık Seviye:</source>
        <translation>Live Level:</translation>
    </message>
    <message>
        <source>Anlık Sıcaklık:</source>
        <translation>Live Temperature:</translation>
    </message>
    <message>
        <source>Anlık Debi:</source>
        <translation>Live Flow:</translation>
    </message>
    <message>
        <source>Son 24 Saat Min/Max</source>
        <translation>Last 24 Hours Min/Max</translation>
    </message>
    <message>
        <source>Max Seviye</source>
        <translation>Max Level</translation>
    </message>
    <message>
        <source>00/00/00 00:00 0</source>
        <translation>00/00/00 00:00 0</translation>
    </message>
    <message>
        <source>Min Seviye</source>
        <translation>Min Level</translation>
    </message>
    <message>
        <source>Max Sıcaklık</source>
        <translation>Max Temperature</translation>
    </message>
    <message>
        <source>Min Sıcaklık</source>
        <translation>Min Temperature</translation>
    </message>
    <message>
        <source>Kayıt Bilgisi</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Ortalama Kayıt (Dakika)</source>
        <translation>Average Record (Minutes)</translation>
    </message>
    <message>
        <source>Anlık Kayıt</source>
        <translation>Live Record</translation>
    </message>
    <message>
        <source>Günlük Min/Max</source>
        <translation>Daily Min/Max</translation>
    </message>
    <message>
        <source>Kayıt içindeki Min/Max</source>
        <translation>Min/Max of Records</translation>
    </message>
    <message>
        <source>Anlık içindeki Min/Max</source>
        <translation>Min/Max of Live Values</translation>
    </message>
    <message>
        <source>Günlük Ortalama Tipi</source>
        <translation>Daily Average Type</translation>
    </message>
    <message>
        <source>Anlıktaki verilerin ortalaması</source>
        <translation>Average of live values</translation>
    </message>
    <message>
        <source>Kayıttaki verilerin ortalaması</source>
        <translation>Average of recorded values</translation>
    </message>
    <message>
        <source>Ölçüm Tipi</source>
        <translation>Measurement Type</translation>
    </message>
    <message>
        <source>Baraj</source>
        <translation>Dam</translation>
    </message>
    <message>
        <source>Kuyu</source>
        <translation>Well</translation>
    </message>
    <message>
        <source>Diğer</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>RS485 Çıkış</source>
        <translation>RS485 Output</translation>
    </message>
    <message>
        <source>Kayıt için tam saati bekle</source>
        <translation>Wait for the full hour to record</translation>
    </message>
    <message>
        <source>Kurulum Değerleri Yükle</source>
        <translation>Upload Settings</translation>
    </message>
    <message>
        <source>Veri Aktar</source>
        <translation>Download Data</translation>
    </message>
    <message>
        <source>Alarm Bilgileri</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>Değerler</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>Kanal 1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>Yüksek</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Kanal 2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>Gelen Alarm</source>
        <translation>Last Alarm</translation>
    </message>
    <message>
        <source>Tarih</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>00.00.0000</source>
        <translation>00.00.0000</translation>
    </message>
    <message>
        <source>Saat</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
    </message>
    <message>
        <source>Değer</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Çıkış Rölesi</source>
        <translation>Output Relay</translation>
    </message>
    <message>
        <source>Role 1</source>
        <translation>Relay 1</translation>
    </message>
    <message>
        <source>Role 2</source>
        <translation>Relay 2</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Port açılamadı</source>
        <translation>The port could not be opened</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir IP adresi girin!</source>
        <translation>Please enter a valid IP address!</translation>
    </message>
    <message>
        <source>Bağlantı için bekleniyor...</source>
        <translation>Waiting for the connection...</translation>
    </message>
    <message>
        <source>Bağlantı sağlanamadı!</source>
        <translation>Could not connect!</translation>
    </message>
    <message>
        <source>Socket Error</source>
        <translation>Socket Error</translation>
    </message>
    <message>
        <source>Karşı modem bağlantıyı kapattı!</source>
        <translation>The remote modem closed the connection!</translation>
    </message>
    <message>
        <source>Error No : %1
Error Msg: %2</source>
        <translation>Error No : %1
Error Msg: %2</translation>
    </message>
    <message>
        <source>Veri için bekleniyor...</source>
        <translation>Waiting for data...</translation>
    </message>
    <message>
        <source>Cihazdan gelen bilgi eksik!</source>
        <translation>The information from the device is incomplete!</translation>
    </message>
    <message>
        <source>Alarm bilgileri yüklendi.</source>
        <translation>Alarm settings uploaded.</translation>
    </message>
    <message>
        <source>Alarm bilgileri doğrulanamadı!</source>
        <translation>The alarm settings could not be verified!</translation>
    </message>
    <message>
        <source>Parametre bilgileri okundu</source>
        <translation>Parameters read</translation>
    </message>
    <message>
        <source>Şifre değişti.</source>
        <translation>Password changed.</translation>
    </message>
    <message>
        <source>Eski şifre yanlış!</source>
        <translation>The old password is wrong!</translation>
    </message>
    <message>
        <source>Sensör sıfırlandı.</source>
        <translation>Sensor zeroed.</translation>
    </message>
    <message>
        <source>Şifre yanlış!</source>
        <translation>Wrong password!</translation>
    </message>
    <message>
        <source>Parametre Yükleme</source>
        <translation>Parameter Upload</translation>
    </message>
    <message>
        <source>Parametre bilgileri yüklendi.</source>
        <translation>Parameters uploaded.</translation>
    </message>
    <message>
        <source>Aktarım Hatası</source>
        <translation>Transfer Error</translation>
    </message>
    <message>
        <source>Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin.</source>
        <translation>The device has not answered for a long time. Please try again.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Hepsi</source>
        <translation>All</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>İşlem kullanıcı tarafından iptal edildi!</source>
        <translation>The operation was cancelled by the user!</translation>
    </message>
    <message>
        <source>Evet</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Hayır</source>
        <translation>No</translation>
    </message>
    <message>
        <source>&lt;html&gt;Cihazdaki veriler silinsin mi?&lt;br&gt;&lt;br&gt;&lt;table&gt;&lt;tr&gt;&lt;th align='left'&gt;%1&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki tüm dosya ve veriler silinecek&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%2&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cihazdaki en son dosya ve veriler saklanıp yeni dosya oluşacak&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%3&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;İşlemi iptal et&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;Delete the data in the device?&lt;br&gt;&lt;br&gt;&lt;table&gt;&lt;tr&gt;&lt;th align='left'&gt;%1&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;All files and data in the device will be deleted&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%2&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;The latest file and data in the device are kept and a new file is started&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;th align='left'&gt;%3&lt;/th&gt;&lt;th&gt;:&lt;/th&gt;&lt;td&gt;Cancel the operation&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Dosya Eylemi</source>
        <translation>File Action</translation>
    </message>
    <message>
        <source>Uyarı</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Sensörün suyun dışında olduğundan emin olun!</source>
        <translation>Make sure the sensor is out of the water!</translation>
    </message>
    <message>
        <source>Cihazda aktarılacak veri yok.</source>
        <translation>The device holds no data to transfer.</translation>
    </message>
    <message>
        <source>Boyut hatalı!</source>
        <translation>Wrong size!</translation>
    </message>
    <message>
        <source>Veri İndiriliyor</source>
        <translation>Downloading Data</translation>
    </message>
    <message>
        <source>Paket</source>
        <translation>Packet</translation>
    </message>
    <message>
        <source>Deneme</source>
        <translation>Attempt</translation>
    </message>
    <message>
        <source>Mesaj</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Veri analiz ediliyor...</source>
        <translation>Analysing data...</translation>
    </message>
    <message>
        <source>Veri ayrıştırılıyor...</source>
        <translation>Parsing data...</translation>
    </message>
    <message>
        <source>Veri Hatası</source>
        <translation>Data Error</translation>
    </message>
    <message>
        <source>Veri hatalı!

Lütfen tekrar aktarım yapın.</source>
        <translation>The data is faulty!

Please transfer again.</translation>
    </message>
    <message>
        <source>Veride dosya başlığı bulunamadı.</source>
        <translation>No file header was found in the data.</translation>
    </message>
    <message>
        <source>Aktarım</source>
        <translation>Transfer</translation>
    </message>
    <message>
        <source>Dosya yazılamadı:</source>
        <translation>The file could not be written:</translation>
    </message>
    <message>
        <source>Aktarım Tamamlandı</source>
        <translation>Transfer completed</translation>
    </message>
    <message>
        <source>Pazartesi</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>Salı</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>Çarşamba</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>Perşembe</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>Cuma</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>Cumartesi</source>
        <translation>Saturday</translation>
    </message>
    <message>
        <source>Pazar</source>
        <translation>Sunday</translation>
    </message>
    <message>
        <source>Verideki dosya başlığı eksik.</source>
        <translation>The file header in the data is cut short.</translation>
    </message>
    <message>
        <source>Veritabanı</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Veriler kaydedilemedi:</source>
        <translation>The data could not be saved:</translation>
    </message>
    <message>
        <source>Veriler kaydediliyor...</source>
        <translation>Saving the data...</translation>
    </message>
    <message>
        <source>Grafik</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Tüm belleği aktar</source>
        <translation>Download the whole memory</translation>
    </message>
    <message>
        <source>Yalnızca yeni veriler: blok %1 ve sonrası</source>
        <translation>Only new data: block %1 onwards</translation>
    </message>
    <message>
        <source>Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.</source>
        <translation>The local copy does not match the logger; downloading the whole memory.</translation>
    </message>
    <message>
        <source>Bağlantıyı Kes</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>%1 bayt</source>
        <translation>%1 byte(s)</translation>
    </message>
    <message>
        <source>%1 (%2 bayt)</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Yeni kayıt yok: arşiv bu verileri zaten içeriyordu.</source>
        <translation>Nothing new: the archive already held these data.</translation>
    </message>
    <message>
        <source>Yeni kayıt: %1</source>
        <translation>New records: %1</translation>
    </message>
    <message>
        <source> ve %1 günlük özet değeri</source>
        <translation> and %1 daily summary values</translation>
    </message>
    <message>
        <source>Yeni kayıtlar: %1 – %2</source>
        <translation>New records from %1 to %2</translation>
    </message>
    <message>
        <source>Kaydedilen dosyalar: %1</source>
        <translation>Files stored: %1</translation>
    </message>
    <message>
        <source>Dışa aktarım: %1</source>
        <translation>Export: %1</translation>
    </message>
    <message>
        <source>Dışa aktarım dosyası masaüstü uygulamasıyla açılamadı.</source>
        <translation>The export could not be opened with the desktop's application.</translation>
    </message>
    <message>
        <source>Sonraki deneme için saklanan: %1 blok</source>
        <translation>Kept for the next try: %1 blocks</translation>
    </message>
    <message>
        <source>%1/%2 bayt</source>
        <translation>%1 byte(s) {1/%2 ?}</translation>
    </message>
    <message>
        <source>kalan %1</source>
        <translation>%1 left</translation>
    </message>
    <message>
        <source>Saklanan</source>
        <translation>Kept</translation>
    </message>
    <message>
        <source>%1 blok</source>
        <translation>%1 blocks</translation>
    </message>
    <message>
        <source>Başka bir işlem sürüyor; lütfen bitmesini bekleyin.</source>
        <translation>Another operation is running; please wait for it to end.</translation>
    </message>
    <message>
        <source>Bağlantı kapandı.</source>
        <translation>The connection was closed.</translation>
    </message>
    <message>
        <source>Modem bağlantıyı kuramadı.</source>
        <translation>The modem could not make the connection.</translation>
    </message>
    <message>
        <source>Cihaz yanıt vermiyor.</source>
        <translation>The logger does not answer.</translation>
    </message>
    <message>
        <source>İstasyonlar</source>
        <translation>Stations</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Rating</translation>
    </message>
    <message>
        <source>İstasyon %1, kurulum %2: aktarılan veri arşivdeki kayıtlarla uyuşmuyor (arşivde %3 kayıt, bu aktarımda %4 kayıt). Arşivdeki kayıtlar korundu; aktarılan veri dosyanın yeni bir sürümü olarak ayrıca kaydedildi.</source>
        <translation>Station %1, installed %2: the downloaded data disagree with the archived records (%3 records archived, %4 in this download). The archived records were kept; the download was stored beside them as a new version of the file.</translation>
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
    <message>
        <source>Veritabanı</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Arşiv yerel veritabanında tutulur: %1</source>
        <translation>The archive is kept in the local database: %1</translation>
    </message>
    <message>
        <source>Arşiv sunucusuna bağlanılamadı:</source>
        <translation>Could not connect to the archive server:</translation>
    </message>
</context>
<context>
    <name>RatingTab</name>
    <message>
        <source>Tablo aç...</source>
        <translation>Open table...</translation>
    </message>
    <message>
        <source>Debi klasöründen bir tablo açar.</source>
        <translation>Opens a table from the Debi folder.</translation>
    </message>
    <message>
        <source>Geçerlilik dönemi: bir kaydın debisi, kaydın zamanında geçerli olan son dönemin tablosundan hesaplanır.</source>
        <translation>Validity period: a record's flow comes from the table of the latest period begun at the record's time.</translation>
    </message>
    <message>
        <source>Yeni dönem</source>
        <translation>New period</translation>
    </message>
    <message>
        <source>Seçili dönemin noktalarıyla yeni bir geçerlilik dönemi başlatır (örneğin bir taşkından sonra).</source>
        <translation>Starts a new validity period with the points of the chosen one (after a flood, for example).</translation>
    </message>
    <message>
        <source>Dönemi sil</source>
        <translation>Delete period</translation>
    </message>
    <message>
        <source>Başlangıç:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>yyyy-MM-dd hh:mm (boş: en baştan)</source>
        <translation>yyyy-MM-dd hh:mm (empty: from the beginning)</translation>
    </message>
    <message>
        <source>Ara değer:</source>
        <translation>Interpolation:</translation>
    </message>
    <message>
        <source>Doğrusal</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>Log-log</source>
        <translation>Log-log</translation>
    </message>
    <message>
        <source>Debi birimi:</source>
        <translation>Flow unit:</translation>
    </message>
    <message>
        <source>Seviye</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Debi</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>Satır ekle</source>
        <translation>Add row</translation>
    </message>
    <message>
        <source>Satır sil</source>
        <translation>Delete row</translation>
    </message>
    <message>
        <source>Vazgeç</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Değişiklikleri bırakıp tabloyu dosyadan yeniden okur.</source>
        <translation>Drops the changes and reads the table from its file again.</translation>
    </message>
    <message>
        <source>Kaydet</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Grafik sekmesinde bir dosya seçin ya da Debi klasöründen bir tablo açın.</source>
        <translation>Choose a file on the chart page or open a table from the Debi folder.</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var: %1 istasyonunun tablosu, bunlar kaydedilince ya da bırakılınca gösterilir.</source>
        <translation>There are unsaved changes: the table of station %1 is shown once they are saved or discarded.</translation>
    </message>
    <message>
        <source>Debi tablosu</source>
        <translation>Rating table</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var. Önce kaydedin ya da vazgeçin.</source>
        <translation>There are unsaved changes. Save or discard them first.</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Debi tablosu aç</source>
        <translation>Open rating table</translation>
    </message>
    <message>
        <source>Debi tabloları (*.abk)</source>
        <translation>Rating tables (*.abk)</translation>
    </message>
    <message>
        <source>En baştan</source>
        <translation>From the beginning</translation>
    </message>
    <message>
        <source>%1 itibaren</source>
        <translation>From %1</translation>
    </message>
    <message>
        <source>Debi [%1]</source>
        <translation>Flow [%1]</translation>
    </message>
    <message>
        <source>Debi tablosu okunamadı: %1</source>
        <translation>The rating table could not be read: %1</translation>
    </message>
    <message>
        <source>Debi tablosu kullanılamıyor: %1</source>
        <translation>The rating table cannot be used: %1</translation>
    </message>
    <message>
        <source>Kaydedilmemiş değişiklikler var.</source>
        <translation>There are unsaved changes.</translation>
    </message>
    <message>
        <source>Bu istasyonun debi tablosu yok: %1. Noktaları girip kaydedince oluşturulur.</source>
        <translation>This station has no rating table: %1. It is created when points are entered and saved.</translation>
    </message>
    <message>
        <source>Tablo kaydedilmedi; dosya olduğu gibi kaldı:</source>
        <translation>The table was not saved; the file is as it was:</translation>
    </message>
    <message>
        <source>Kaydedildi: %1</source>
        <translation>Saved: %1</translation>
    </message>
</context>
<context>
    <name>RatingTable</name>
    <message>
        <source> (satır %1)</source>
        <translation> (line %1)</translation>
    </message>
    <message>
        <source>Dosya yok: %1</source>
        <translation>File missing: %1</translation>
    </message>
    <message>
        <source>Dosya okunamadı: %1: %2</source>
        <translation>File could not be read: %1: %2</translation>
    </message>
    <message>
        <source>XML hatası, satır %1: %2</source>
        <translation>XML error at line %1: %2</translation>
    </message>
    <message>
        <source>Debi tablosu değil: belge öğesi &lt;%1&gt;, &lt;ROOT&gt; olmalı</source>
        <translation>Not a rating table: the document element is &lt;%1&gt;, not &lt;ROOT&gt;</translation>
    </message>
    <message>
        <source>Yanlış istasyon kodu: dosyada "%1", beklenen "%2"</source>
        <translation>Wrong station code: "%1" in the file, "%2" expected</translation>
    </message>
    <message>
        <source>FROM okunamadı: "%1"%2; yyyy-MM-dd hh:mm olmalı</source>
        <translation>FROM does not read: "%1"%2; it must be yyyy-MM-dd hh:mm</translation>
    </message>
    <message>
        <source>Bilinmeyen INTERP "%1"%2: "linear" ya da "log" olmalı</source>
        <translation>Unknown INTERP "%1"%2: it must be "linear" or "log"</translation>
    </message>
    <message>
        <source>Dönemlerin birimleri farklı: %1 ve %2</source>
        <translation>The periods have different units: %1 and %2</translation>
    </message>
    <message>
        <source>Seviye okunamadı: "%1"%2</source>
        <translation>Level does not read: "%1"%2</translation>
    </message>
    <message>
        <source>Debi okunamadı: "%1" (seviye %2)%3</source>
        <translation>Flow does not read: "%1" (level %2)%3</translation>
    </message>
    <message>
        <source>Negatif debi: %1 (seviye %2)%3</source>
        <translation>Negative flow: %1 (level %2)%3</translation>
    </message>
    <message>
        <source>Aynı seviye iki kez: %1%2</source>
        <translation>Duplicate level: %1%2</translation>
    </message>
    <message>
        <source>Seviyeler sırasız: %1, %2 seviyesinden sonra%3</source>
        <translation>Levels out of order: %1 after %2%3</translation>
    </message>
    <message>
        <source>İki dönem aynı anda başlıyor: %1</source>
        <translation>Two periods begin at the same time: %1</translation>
    </message>
    <message>
        <source>İki dönem başlangıçtan geçerli: birinin FROM'u olmalı</source>
        <translation>Two periods apply from the beginning: one of them needs a FROM</translation>
    </message>
    <message>
        <source>Dosya yazılamadı: %1: %2</source>
        <translation>File could not be written: %1: %2</translation>
    </message>
</context>
<context>
    <name>Sifre</name>
    <message>
        <source>Şifre</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir şifre girin!</source>
        <translation>Please enter a valid password!</translation>
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
        <translation>Change Password</translation>
    </message>
    <message>
        <source>Eski Şifre</source>
        <translation>Old Password</translation>
    </message>
    <message>
        <source>Yeni Şifre</source>
        <translation>New Password</translation>
    </message>
    <message>
        <source>Yeni Şifre (Tekrar)</source>
        <translation>New Password (Again)</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>İptal</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Hata</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Lütfen geçerli şifreyi girin!</source>
        <translation>Please enter the current password!</translation>
    </message>
    <message>
        <source>Lütfen geçerli bir şifre girin!</source>
        <translation>Please enter a valid password!</translation>
    </message>
    <message>
        <source>Girilen yeni şifre bilgileri aynı değil!</source>
        <translation>The new passwords entered do not match!</translation>
    </message>
</context>
<context>
    <name>StationArchive</name>
    <message>
        <source>Veritabanı bozuk: %1
(%2)
Dosyayı yedeğinden geri yükleyin ya da başka bir yere taşıyın; yerine yeni, boş bir veritabanı açılır. Bozuk veritabanına hiçbir şey yazılmaz.</source>
        <translation>The database is damaged: %1
(%2)
Restore the file from its backup or move it elsewhere; a new, empty database is then made in its place. Nothing is written into a damaged database.</translation>
    </message>
</context>
<context>
    <name>StationVisit</name>
    <message>
        <source>Toplayıcı durduruldu; ziyaret yarıda bırakıldı.</source>
        <translation>The collector was stopped; the visit was abandoned.</translation>
    </message>
    <message>
        <source>Modem bulunamadı</source>
        <translation>No modem found</translation>
    </message>
    <message>
        <source>Modem hazırlanamadı!</source>
        <translation>The modem could not be prepared!</translation>
    </message>
    <message>
        <source>Modem aranıyor</source>
        <translation>Searching for the modem</translation>
    </message>
    <message>
        <source>Ziyaret %1 saniyede bitmedi.</source>
        <translation>The visit did not end within %1 seconds.</translation>
    </message>
    <message>
        <source>Bağlantı kurulamadı.</source>
        <translation>No connection could be made.</translation>
    </message>
</context>
<context>
    <name>StationsTab</name>
    <message>
        <source>İstasyon dosyası:</source>
        <translation>Station file:</translation>
    </message>
    <message>
        <source>Seçilmedi</source>
        <translation>None chosen</translation>
    </message>
    <message>
        <source>Seç...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>İstasyon</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Durum</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Son Başarı</source>
        <translation>Last Success</translation>
    </message>
    <message>
        <source>En Yeni Kayıt</source>
        <translation>Newest Record</translation>
    </message>
    <message>
        <source>Seviye</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Sıcaklık</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Saat Farkı (s)</source>
        <translation>Clock Drift (s)</translation>
    </message>
    <message>
        <source>Cihaz saati eksi bilgisayar saati, saniye</source>
        <translation>Logger clock minus computer clock, in seconds</translation>
    </message>
    <message>
        <source>Son Hata</source>
        <translation>Last Error</translation>
    </message>
    <message>
        <source>Şimdi topla</source>
        <translation>Collect now</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Gecikmeli</source>
        <translation>Late</translation>
    </message>
    <message>
        <source>Ulaşılamıyor</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>İstasyon dosyası seçilmedi.</source>
        <translation>No station file chosen.</translation>
    </message>
    <message>
        <source>İstasyon dosyası okunamadı: %1</source>
        <translation>The station file cannot be read: %1</translation>
    </message>
    <message>
        <source>Toplama kaydı okunamadı: %1</source>
        <translation>The collection log cannot be read: %1</translation>
    </message>
    <message>
        <source>İstasyon dosyası</source>
        <translation>Station file</translation>
    </message>
    <message>
        <source>İstasyon dosyaları (*.ini);;Tüm dosyalar (*)</source>
        <translation>Station files (*.ini);;All files (*)</translation>
    </message>
    <message>
        <source>%1 toplanamaz: formun bağlantısı aynı hatta açık (%2). Önce formdaki bağlantıyı kesin.</source>
        <translation>%1 cannot be collected: the form has its link open on the same line (%2). Disconnect the form first.</translation>
    </message>
    <message>
        <source>Tamam</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 toplanıyor...</source>
        <translation>Collecting %1...</translation>
    </message>
    <message>
        <source>Blok %1 / %2</source>
        <translation>Block %1 / %2</translation>
    </message>
    <message>
        <source>kalan %1 s</source>
        <translation>%1 s left</translation>
    </message>
    <message>
        <source>%1: %2. deneme başarısız (%3); %4 s sonra yeniden denenecek.</source>
        <translation>%1: attempt %2 failed (%3); trying again in %4 s.</translation>
    </message>
    <message>
        <source>Arşive eklenen satır: %1</source>
        <translation>Rows added to the archive: %1</translation>
    </message>
    <message>
        <source>En yeni kayıt: %1</source>
        <translation>Newest record: %1</translation>
    </message>
    <message>
        <source>yok</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1 toplandı.</source>
        <translation>%1 collected.</translation>
    </message>
    <message>
        <source>%1 toplanamadı.</source>
        <translation>%1 could not be collected.</translation>
    </message>
</context>
</TS>
