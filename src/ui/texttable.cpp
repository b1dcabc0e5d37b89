#include "texttable.h"

#include <QHash>

namespace loopwren {
namespace {

struct Entry
{
    QString english;
    QString indonesian;
};

// Built once and shared: the lookup runs for every label on every redraw.
const QHash<QString, Entry>& table()
{
    static const QHash<QString, Entry> entries = [] {
        // {key, English, Indonesian}; an empty English text means "same as the key".
        const char* const rows[][3] = {
            // Sidebar
            {"NAVIGATION", "", "NAVIGASI"},
            {"Timeline", "", "Linimasa"},
            {"Setting", "", "Pengaturan"},
            {"API Access Active", "", "Akses API Aktif"},
            {"No API Access", "", "Tidak Ada Akses API"},
            {"Grant Access", "", "Berikan Akses"},
            // Control bar
            {"RECORD", "", "REKAM"},
            {"STOP", "", "BERHENTI"},
            {"PLAYBACK", "", "PUTAR ULANG"},
            {"ABORT", "", "BATAL"},
            {"Import", "", "Impor"},
            {"Export", "", "Ekspor"},
            // Timeline
            {"Capturing Actions...", "", "Merekam Aksi..."},
            {"No Actions Recorded", "", "Tidak Ada Aksi Terekam"},
            {"Floating Recording Overlay Label", "RECORDING INTERACTION", "MEREKAM INTERAKSI"},
            {"Events", "", "Aksi"},
            {"Click Record above or press %1 to start capturing keyboard and mouse actions.", "",
             "Klik Rekam di atas atau tekan %1 untuk mulai merekam aksi keyboard dan mouse."},
            {"Interact with other applications. Press %1 to complete recording.", "",
             "Berinteraksilah dengan aplikasi lain. Tekan %1 untuk menyelesaikan perekaman."},
            // Event editor and delete confirmation
            {"Edit Action", "", "Edit Aksi"},
            {"Event Type", "", "Tipe Aksi"},
            {"DELAY (SECONDS)", "", "JEDA (DETIK)"},
            {"CURSOR LOCATION", "", "LOKASI KURSOR"},
            {"X Coordinate", "", "Koordinat X"},
            {"Y Coordinate", "", "Koordinat Y"},
            {"MOUSE BUTTON", "", "TOMBOL MOUSE"},
            {"Left", "", "Kiri"},
            {"Right", "", "Kanan"},
            {"Middle", "", "Tengah"},
            {"KEYBOARD SETTINGS", "", "PENGATURAN KEYBOARD"},
            {"Virtual Key Code", "", "Kode Tombol Virtual"},
            {"Copy", "", "Salin"},
            {"Delete", "", "Hapus"},
            {"Confirm Delete", "", "Konfirmasi Hapus"},
            {"Are you sure you want to delete this action?", "",
             "Apakah Anda yakin ingin menghapus aksi ini?"},
            {"Cancel", "", "Batal"},
            // Settings page
            {"Setting Description", "Configure trigger hotkeys, targets, and execution rate defaults.",
             "Atur tombol pintas, target aplikasi, dan bawaan kecepatan eksekusi."},
            {"LANGUAGE SELECTION", "", "PILIHAN BAHASA"},
            {"App Language:", "", "Bahasa Aplikasi:"},
            {"USER INTERFACE", "", "ANTARMUKA PENGGUNA"},
            {"Show delete confirmation", "", "Tampilkan konfirmasi hapus"},
            {"Hide LoopWren when recording", "", "Sembunyikan LoopWren saat merekam"},
            {"Hide LoopWren on playback", "", "Sembunyikan LoopWren saat putar ulang"},
            {"Show notification", "", "Tampilkan notifikasi"},
            {"GLOBAL HOTKEYS", "", "TOMBOL PINTAS GLOBAL"},
            {"Global Hotkeys Description",
             "Click on a trigger shortcut button, then press any key combination. Press 'Escape' to dismiss "
             "capture.",
             "Klik pada tombol pintas pemicu, lalu tekan kombinasi tombol apa saja. Tekan 'Escape' untuk "
             "membatalkan."},
            {"Toggle Recording", "", "Mulai/Stop Rekaman"},
            {"Start or complete macro captures.", "", "Mulai atau selesaikan perekaman makro."},
            {"Toggle Playback", "", "Mulai/Stop Putar Ulang"},
            {"Run or cancel macro executions.", "", "Jalankan atau batalkan pemutaran makro."},
            {"Reset Hotkeys", "", "Atur Ulang Hotkey"},
            {"Desktop shortcut: %1", "", "Pintasan desktop: %1"},
            {"Desktop shortcut: none", "", "Pintasan desktop: tidak ada"},
            {"TARGET APPLICATION WINDOW", "", "JENDELA TARGET APLIKASI"},
            {"Target Window Description",
             "Optionally target a program to focus and resize automatically before launching playback "
             "coordinate mappings.",
             "Fokuskan dan atur ukuran jendela aplikasi target secara otomatis sebelum memulai pemutaran "
             "koordinat klik."},
            {"Target Program:", "", "Aplikasi Target:"},
            {"Focus app window before playback", "", "Fokuskan aplikasi sebelum pemutaran"},
            {"Set custom coordinates", "", "Atur koordinat khusus"},
            {"Force window boundaries", "", "Paksa batas ukuran jendela"},
            {"PLAYBACK ENGINE DEFAULTS", "", "BAWAAN MESIN PUTAR ULANG"},
            {"Record Cursor Path Movements", "", "Rekam Jalur Pergerakan Kursor"},
            {"Loop Executions Infinitely", "", "Ulangi Pemutaran Selamanya"},
            {"Fixed Playback Loops", "", "Jumlah Perulangan Pemutaran"},
            {"Playback Execution Speed", "", "Kecepatan Pemutaran Eksekusi"},
            {"HUMAN-LIKE PLAYBACK", "", "PEMUTARAN ALAMI"},
            {"Human-like Playback Description",
             "Vary delays, pauses and clicks so a playback does not run like a metronome, and stop it when "
             "you take over the mouse or keyboard.",
             "Variasikan jeda, waktu istirahat, dan posisi klik agar pemutaran tidak berjalan seperti "
             "metronom, dan hentikan saat Anda mengambil alih mouse atau keyboard."},
            {"Delay Variation", "", "Variasi Jeda"},
            {"Pause Between Passes (seconds)", "", "Istirahat Antarputaran (detik)"},
            {"Min:", "", "Min:"},
            {"Max:", "", "Maks:"},
            {"Click Spread", "", "Sebaran Klik"},
            {"Stop playback when I use the mouse or keyboard", "",
             "Hentikan pemutaran saat saya memakai mouse atau keyboard"},
            {"Unavailable: %1", "", "Tidak tersedia: %1"},
            {"this session cannot tell your input from LoopWren's own", "",
             "sesi ini tidak dapat membedakan input Anda dari input LoopWren sendiri"},
            {"the X server offers no XInput 2.1", "", "server X tidak menyediakan XInput 2.1"},
            {"the X display cannot be opened", "", "layar X tidak dapat dibuka"},
            {"LoopWren cannot read the input devices", "", "LoopWren tidak dapat membaca perangkat input"},
            {"APPLICATION UPDATE", "", "PEMBARUAN APLIKASI"},
            {"Current Version: v", "", "Versi Saat Ini: v"},
            {"Check if a new version of LoopWren is available.", "",
             "Periksa apakah ada versi baru LoopWren."},
            {"Check Update", "", "Periksa Pembaruan"},
            // The notice of a newer release
            {"Update Available", "", "Pembaruan Tersedia"},
            {"Update Available Description",
             "A new version of LoopWren has been released! Please download it to enjoy the latest features "
             "and bug fixes.",
             "Versi baru LoopWren telah dirilis! Silakan unduh untuk menikmati fitur terbaru dan perbaikan "
             "bug."},
            {"RELEASE NOTES:", "", "CATATAN RILIS:"},
            {"Update Now", "", "Perbarui Sekarang"},
            {"Later", "", "Nanti Saja"},
            // Timeline page, after a playback
            {"Playback stopped: you used the mouse or keyboard", "",
             "Pemutaran dihentikan: Anda memakai mouse atau keyboard"},
            {"Hide Unavailable Note",
             "This desktop does not let LoopWren hide its own window and bring it back (Wayland), so "
             "these two settings have no effect.",
             "Desktop ini tidak mengizinkan LoopWren menyembunyikan jendelanya sendiri lalu "
             "menampilkannya lagi (Wayland), jadi kedua pengaturan ini tidak berpengaruh."},
            // Notices: what did not work as asked, and what to do about it
            {"Recording Problem Notice",
             "Nothing can be recorded in this session. Grant Access shows how to allow it; "
             "loopwren-cli doctor tells what is missing.",
             "Tidak ada yang dapat direkam di sesi ini. Berikan Akses menunjukkan cara mengizinkannya; "
             "loopwren-cli doctor menjelaskan apa yang kurang."},
            {"Pointer Problem Notice",
             "Only keys are recorded in this session, not clicks or pointer movements; loopwren-cli "
             "doctor tells why.",
             "Di sesi ini hanya tombol keyboard yang terekam, bukan klik atau gerakan kursor; "
             "loopwren-cli doctor menjelaskan sebabnya."},
            {"Playback Problem Notice",
             "Nothing can be played back in this session. Grant Access shows how to allow it; "
             "loopwren-cli doctor tells what is missing.",
             "Tidak ada yang dapat diputar ulang di sesi ini. Berikan Akses menunjukkan cara "
             "mengizinkannya; loopwren-cli doctor menjelaskan apa yang kurang."},
            {"Import Problem Notice", "The file could not be imported; the timeline is unchanged.",
             "Berkas tidak dapat diimpor; linimasa tidak berubah."},
            {"Access Help Notice",
             "The help on giving access opens in your web browser. If no browser opens, read this file:",
             "Bantuan cara memberi akses dibuka di peramban web Anda. Jika tidak ada peramban yang "
             "terbuka, baca berkas ini:"},
            {"Dismiss", "", "Tutup"},
            {"Library Problem Notice", "The timeline was not saved to the library:",
             "Linimasa tidak disimpan ke pustaka:"},
            // Library page
            {"Library", "", "Pustaka"},
            {"Library Description", "Macros kept by LoopWren, each with its own hotkey, loops, speed and schedule.",
             "Makro yang disimpan LoopWren, masing-masing dengan tombol pintas, perulangan, kecepatan, dan "
             "jadwalnya sendiri."},
            {"Filter macros", "", "Saring makro"},
            {"Play", "", "Putar"},
            {"Open", "", "Buka"},
            {"Rename", "", "Ganti Nama"},
            {"Duplicate", "", "Duplikat"},
            {"Set Hotkey", "", "Atur Hotkey"},
            {"Schedule", "", "Jadwal"},
            {"Save to Library", "", "Simpan ke Pustaka"},
            {"Recent Files", "", "Berkas Terakhir"},
            {"No recent files", "", "Belum ada berkas"},
            {"NAME", "", "NAMA"},
            {"EVENTS", "", "AKSI"},
            {"DURATION", "", "DURASI"},
            {"HOTKEY", "", "HOTKEY"},
            {"NEXT RUN", "", "JALAN BERIKUTNYA"},
            {"Library Empty Title", "No Macros in the Library", "Belum Ada Makro di Pustaka"},
            {"Library Empty Hint", "Record a timeline, then press Save to Library beside Export.",
             "Rekam linimasa, lalu tekan Simpan ke Pustaka di samping Ekspor."},
            {"Not scheduled", "", "Tidak terjadwal"},
            {"No next run", "", "Tidak ada jadwal berikutnya"},
            {"Cannot be loaded: %1", "", "Tidak dapat dimuat: %1"},
            {"Schedules unavailable: %1", "", "Jadwal tidak tersedia: %1"},
            {"no systemd user manager runs for this session (%1)", "",
             "tidak ada pengelola systemd pengguna yang berjalan untuk sesi ini (%1)"},
            {"Press the hotkey (Escape cancels, Backspace clears)...", "",
             "Tekan hotkey (Escape membatalkan, Backspace menghapus)..."},
            {"Hotkey already used by %1", "", "Hotkey sudah dipakai oleh %1"},
            {"Rename Macro", "", "Ganti Nama Makro"},
            {"Name:", "", "Nama:"},
            {"A macro needs a name", "", "Makro perlu nama"},
            {"A macro named \"%1\" is already in the library", "", "Makro bernama \"%1\" sudah ada di pustaka"},
            {"Macro", "", "Makro"},
            {"Are you sure you want to delete this macro?", "", "Apakah Anda yakin ingin menghapus makro ini?"},
            {"Save Timeline?", "", "Simpan Linimasa?"},
            {"Save Timeline Question",
             "The timeline holds actions that are not saved. Would you like to save them before opening another "
             "macro?",
             "Linimasa berisi aksi yang belum disimpan. Apakah Anda ingin menyimpannya sebelum membuka makro "
             "lain?"},
            {"Save", "", "Simpan"},
            {"Don't Save", "", "Jangan Simpan"},
            {"No schedule", "", "Tanpa jadwal"},
            {"Once", "", "Sekali"},
            {"Daily", "", "Harian"},
            {"Every N minutes", "", "Setiap N menit"},
            {"Weekdays", "Mon,Tue,Wed,Thu,Fri,Sat,Sun", "Sen,Sel,Rab,Kam,Jum,Sab,Min"},
            {"Minutes:", "", "Menit:"},
            {"Choose at least one weekday", "", "Pilih paling sedikit satu hari"},
            {"That time has already passed", "", "Waktu itu sudah lewat"},
            // Quit prompt
            {"Save Last Recording?", "", "Simpan Rekaman Terakhir?"},
            {"You have recorded actions in your timeline. Would you like to save them before exiting?", "",
             "Anda memiliki rekaman aksi di linimasa. Apakah Anda ingin menyimpannya sebelum keluar?"},
            {"Export Macro", "", "Ekspor Makro"},
            // Timeline rows
            {"Wait ", "", "Jeda "},
            {"Pause execution flow", "", "Jeda alur eksekusi"},
            {"Screen Coordinate: X:", "", "Koordinat Layar: X:"},
            {"Native Key Sequence Event", "", "Aksi Ketukan Tombol Keyboard"},
            {"Scroll Delta: dx:", "", "Delta Gulir: dx:"},
            {"Playback Refused Notice", "Another playback is running in this session, so nothing was played:",
             "Pemutaran lain sedang berjalan di sesi ini, jadi tidak ada yang diputar:"},
        };
        QHash<QString, Entry> built;
        for (const auto& row : rows) {
            const QString key = QString::fromUtf8(row[0]);
            const QString englishText = *row[1] ? QString::fromUtf8(row[1]) : key;
            built.insert(key, Entry{englishText, QString::fromUtf8(row[2])});
        }
        return built;
    }();
    return entries;
}

} // namespace

QString TextTable::localized(const QString& key, const QString& language)
{
    const auto it = table().constFind(key);
    if (it == table().constEnd())
        return key;
    if (language == english)
        return it->english;
    if (language == indonesian)
        return it->indonesian;
    return key;
}

QStringList TextTable::keys() { return table().keys(); }

} // namespace loopwren
