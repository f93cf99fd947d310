<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Work in &lt;dir&gt;: keep the tables and the export there. The folder is created when missing. Without this option Korvane works with the folder or database server chosen last with "Change..." in the main window; when none was chosen or that folder is gone, in the folder it was started in.</source>
        <translation>In &lt;dir&gt; arbeiten: die Tabellen und den Export dort ablegen. Der Ordner wird angelegt, wenn er fehlt. Ohne diese Option arbeitet Korvane mit dem Ordner oder Datenbankserver, der zuletzt im Hauptfenster mit „Ändern...“ gewählt wurde; wenn keiner gewählt wurde oder dieser Ordner fehlt, in dem Ordner, in dem es gestartet wurde.</translation>
    </message>
    <message>
        <source>Work in the folder "Korvane" in your documents folder, created when missing. The desktop menu starts Korvane this way.</source>
        <translation>Im Ordner „Korvane“ in Ihrem Dokumentenordner arbeiten; er wird angelegt, wenn er fehlt. Das Desktop-Menü startet Korvane so.</translation>
    </message>
    <message>
        <source>Write all stored tests to &lt;file&gt; and end, without opening a window. &lt;file&gt; is relative to the current folder, not to --folder; /dev/stdout writes to standard output. The tables are read from --folder, which must exist (it is not created), and are never changed; a folder in use by a running Korvane may be read. A &lt;file&gt; that is a link, a folder, a named pipe, a device or a table file is refused.</source>
        <translation>Alle gespeicherten Tests in &lt;file&gt; schreiben und enden, ohne ein Fenster zu öffnen. &lt;file&gt; bezieht sich auf den aktuellen Ordner, nicht auf --folder; /dev/stdout schreibt auf die Standardausgabe. Die Tabellen werden aus --folder gelesen, der existieren muss (er wird nicht angelegt), und nie geändert; ein Ordner, in dem ein laufendes Korvane arbeitet, darf gelesen werden. Eine &lt;file&gt;, die eine Verknüpfung, ein Ordner, eine benannte Pipe, ein Gerät oder eine Tabellendatei ist, wird abgelehnt.</translation>
    </message>
    <message>
        <source>Speak the language &lt;code&gt;: en (English) or de (German). Without this option Korvane speaks the language of the system, or English.</source>
        <translation>Die Sprache &lt;code&gt; sprechen: en (Englisch) oder de (Deutsch). Ohne diese Option spricht Korvane die Sprache des Systems oder Englisch.</translation>
    </message>
    <message>
        <source>Write the report of the stored test &lt;testnr&gt; as PDF to the file named by --output and end, without opening a window. Nothing is created or changed in the working folder.</source>
        <translation>Den Bericht des gespeicherten Tests &lt;testnr&gt; als PDF in die mit --output genannte Datei schreiben und enden, ohne ein Fenster zu öffnen. Im Arbeitsordner wird nichts angelegt oder geändert.</translation>
    </message>
    <message>
        <source>The PDF file --report writes.</source>
        <translation>Die PDF-Datei, die --report schreibt.</translation>
    </message>
    <message>
        <source>Show this help and end.</source>
        <translation>Diese Hilfe zeigen und enden.</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>Die Version zeigen und enden.</translation>
    </message>
    <message>
        <source>Usage: korvane [options]
Paces and times strength-training tests.

Korvane keeps its tables "TestTable.DB", "Profil.db" and "SPTable.db" and
writes its export "Korvane.csv" in its working folder.

Options:
</source>
        <translation>Aufruf: korvane [Optionen]
Taktet und misst Tests im Krafttraining.

Korvane führt seine Tabellen „TestTable.DB“, „Profil.db“ und „SPTable.db“
und schreibt seinen Export „Korvane.csv“ in seinen Arbeitsordner.

Optionen:
</translation>
    </message>
    <message>
        <source>Unexpected argument: '%1'.</source>
        <translation>Unerwartetes Argument: '%1'.</translation>
    </message>
    <message>
        <source>Give either --folder or --user-folder, not both.</source>
        <translation>Geben Sie entweder --folder oder --user-folder an, nicht beide.</translation>
    </message>
    <message>
        <source>The folder after --folder is empty.</source>
        <translation>Der Ordner nach --folder ist leer.</translation>
    </message>
    <message>
        <source>This system names no documents folder for you; start Korvane with --folder &lt;dir&gt;.</source>
        <translation>Dieses System nennt keinen Dokumentenordner für Sie; starten Sie Korvane mit --folder &lt;dir&gt;.</translation>
    </message>
    <message>
        <source>Unknown language '%1': give en or de.</source>
        <translation>Unbekannte Sprache '%1': Geben Sie en oder de an.</translation>
    </message>
    <message>
        <source>The file after --export-all is empty.</source>
        <translation>Die Datei nach --export-all ist leer.</translation>
    </message>
    <message>
        <source>--output names the file of --report.</source>
        <translation>--output nennt die Datei von --report.</translation>
    </message>
    <message>
        <source>The test number after --report is not a test number: '%1'.</source>
        <translation>Die Testnummer nach --report ist keine Testnummer: '%1'.</translation>
    </message>
    <message>
        <source>--report needs --output &lt;file&gt;.</source>
        <translation>--report braucht --output &lt;file&gt;.</translation>
    </message>
    <message>
        <source>The file after --output is empty.</source>
        <translation>Die Datei nach --output ist leer.</translation>
    </message>
    <message>
        <source>"%1" is a file, not a folder.</source>
        <translation>„%1“ ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>The folder "%1" cannot be created: %2.</source>
        <translation>Der Ordner „%1“ kann nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Korvane cannot work in the folder "%1": %2.</source>
        <translation>Korvane kann nicht im Ordner „%1“ arbeiten: %2.</translation>
    </message>
    <message>
        <source>Keep the tables on the database server at &lt;url&gt;, shared by several stations: postgresql://user@host:port/database, with libpq's parameters such as ?sslmode=verify-full. The password comes from ~/.pgpass or the service file, or is asked for.</source>
        <translation>Die Tabellen auf dem Datenbankserver unter &lt;url&gt; führen, den mehrere Stationen teilen: postgresql://benutzer@host:port/datenbank, mit den Parametern von libpq wie ?sslmode=verify-full. Das Passwort kommt aus ~/.pgpass oder der Service-Datei, oder es wird erfragt.</translation>
    </message>
    <message>
        <source>Copy the tables of --folder with their keys into the empty tables of the database server at &lt;url&gt;, check the copy and end.</source>
        <translation>Die Tabellen von --folder mit ihren Schlüsseln in die leeren Tabellen des Datenbankservers unter &lt;url&gt; kopieren, die Kopie prüfen und enden.</translation>
    </message>
    <message>
        <source>Give either --database or --user-folder, not both.</source>
        <translation>Geben Sie entweder --database oder --user-folder an, nicht beides.</translation>
    </message>
    <message>
        <source>--copy-to-database copies the tables of --folder &lt;dir&gt;.</source>
        <translation>--copy-to-database kopiert die Tabellen von --folder &lt;dir&gt;.</translation>
    </message>
    <message>
        <source>Write the stored tests, their sets, the athletes and the profiles as an Excel workbook to &lt;file&gt; and end, without opening a window. The tables are read from --folder or --database as for --export-all and are never changed.</source>
        <translation>Die gespeicherten Tests, ihre Sätze, die Athleten und die Profile als Excel-Arbeitsmappe in &lt;file&gt; schreiben und beenden, ohne ein Fenster zu öffnen. Die Tabellen werden wie bei --export-all aus --folder oder --database gelesen und nie verändert.</translation>
    </message>
    <message>
        <source>Give either --export-all or --export-xlsx, not both.</source>
        <translation>Entweder --export-all oder --export-xlsx angeben, nicht beides.</translation>
    </message>
    <message>
        <source>The file after --export-xlsx is empty.</source>
        <translation>Die Datei nach --export-xlsx ist leer.</translation>
    </message>
    <message>
        <source>--copy-to-database does not go with --export-all, --export-xlsx or --report.</source>
        <translation>--copy-to-database passt nicht zu --export-all, --export-xlsx oder --report.</translation>
    </message>
    <message>
        <source>Give either an export or --report, not both.</source>
        <translation>Entweder einen Export oder --report angeben, nicht beides.</translation>
    </message>
    <message>
        <source>A password does not belong on the command line, where others can read it. Put it in ~/.pgpass or the service file, or leave it out and Korvane asks for it.</source>
        <translation>Ein Passwort gehört nicht in die Befehlszeile, wo andere es lesen können. Tragen Sie es in ~/.pgpass oder die Dienstdatei ein, oder lassen Sie es weg, dann fragt Korvane danach.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Copied to %1: %2 tests, %3 athletes and %4 profiles, checked against the folder.</source>
        <translation>Nach %1 kopiert: %2 Tests, %3 Sportler und %4 Profile, mit dem Ordner verglichen.</translation>
    </message>
    <message>
        <source>it holds no table "%1" of this program</source>
        <translation>sie enthält keine Tabelle „%1“ dieses Programms</translation>
    </message>
</context>
<context>
    <name>DataSource</name>
    <message>
        <source>The data folder %1 chosen last time is not there. Korvane works in %2 instead.</source>
        <translation>Der zuletzt gewählte Datenordner %1 ist nicht vorhanden. Korvane arbeitet stattdessen in %2.</translation>
    </message>
</context>
<context>
    <name>FolderLock</name>
    <message>
        <source>Another Korvane is working in the folder %1 (its lock file "%2" is there). Close it first, or start Korvane in another folder.</source>
        <translation>Ein anderes Korvane arbeitet im Ordner %1 (seine Sperrdatei „%2“ liegt dort). Schließen Sie es zuerst oder starten Sie Korvane in einem anderen Ordner.</translation>
    </message>
    <message>
        <source>Another Korvane (process %1 on %2) is working in the folder %3. Close it first, or start Korvane in another folder.</source>
        <translation>Ein anderes Korvane (Prozess %1 auf %2) arbeitet im Ordner %3. Schließen Sie es zuerst oder starten Sie Korvane in einem anderen Ordner.</translation>
    </message>
    <message>
        <source>this computer</source>
        <translation>diesem Computer</translation>
    </message>
</context>
<context>
    <name>LegacyImport</name>
    <message>
        <source>The folder
%1
holds tables in the older Paradox format:

</source>
        <translation>Der Ordner
%1
enthält Tabellen im älteren Paradox-Format:

</translation>
    </message>
    <message>
        <source>record</source>
        <translation>Datensatz</translation>
    </message>
    <message>
        <source>records</source>
        <translation>Datensätze</translation>
    </message>
    <message>
        <source>
Korvane can convert them into its own tables now. The old files are kept unchanged: they and their companion files are moved into the subfolder "%1".

Convert the tables now? No ends Korvane and leaves the folder as it is.</source>
        <translation>
Korvane kann sie jetzt in seine eigenen Tabellen umwandeln. Die alten Dateien bleiben unverändert erhalten: Sie und ihre Begleitdateien werden in den Unterordner „%1“ verschoben.

Die Tabellen jetzt umwandeln? Nein beendet Korvane und lässt den Ordner, wie er ist.</translation>
    </message>
    <message>
        <source>The Paradox tables in the folder
%1
cannot be converted:

</source>
        <translation>Die Paradox-Tabellen im Ordner
%1
können nicht umgewandelt werden:

</translation>
    </message>
    <message>
        <source>
Nothing in the folder was changed. Korvane ends.</source>
        <translation>
Im Ordner wurde nichts geändert. Korvane wird beendet.</translation>
    </message>
    <message>
        <source>The tables were converted. The old files are kept unchanged in the subfolder "%1".
</source>
        <translation>Die Tabellen wurden umgewandelt. Die alten Dateien bleiben unverändert im Unterordner „%1“ erhalten.
</translation>
    </message>
    <message>
        <source>
%1 (now %2): %3 converted, %4 skipped as empty.
</source>
        <translation>
%1 (jetzt %2): %3 umgewandelt, %4 als leer übersprungen.
</translation>
    </message>
    <message>
        <source>    Its header counts %1 but its blocks hold %2; every record found was converted.
</source>
        <translation>    Ihr Kopf zählt %1, ihre Blöcke enthalten aber %2; jeder gefundene Datensatz wurde umgewandelt.
</translation>
    </message>
    <message>
        <source>    Fields with no place in Korvane: %1.
</source>
        <translation>    Felder ohne Platz in Korvane: %1.
</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>    Values with characters that had to be replaced: %1.
</source>
        <translation>    Werte mit Zeichen, die ersetzt werden mussten: %1.
</translation>
    </message>
    <message>
        <source>    Values left empty because they are no whole number: %1.
</source>
        <translation>    Werte, die leer blieben, weil sie keine ganze Zahl sind: %1.
</translation>
    </message>
    <message>
        <source>    Keys renumbered: none.
</source>
        <translation>    Neu nummerierte Schlüssel: keine.
</translation>
    </message>
    <message>
        <source>an empty %1</source>
        <translation>ein leeres %1</translation>
    </message>
    <message>
        <source> became </source>
        <translation> wurde zu </translation>
    </message>
    <message>
        <source>%1 more</source>
        <translation>%1 weitere</translation>
    </message>
    <message>
        <source>    Keys renumbered because they were repeated or unusable: %1 (%2).
</source>
        <translation>    Schlüssel, die neu nummeriert wurden, weil sie doppelt oder unbrauchbar waren: %1 (%2).
</translation>
    </message>
    <message>
        <source>An interrupted conversion of the Paradox tables in
%1
has been finished. The old files are kept unchanged in the subfolder "%2".</source>
        <translation>Eine unterbrochene Umwandlung der Paradox-Tabellen in
%1
wurde abgeschlossen. Die alten Dateien bleiben unverändert im Unterordner „%2“ erhalten.</translation>
    </message>
    <message>
        <source>Converting the Paradox tables...</source>
        <translation>Die Paradox-Tabellen werden umgewandelt...</translation>
    </message>
    <message>
        <source>The Paradox tables in %1 cannot be converted: %2.</source>
        <translation>Die Paradox-Tabellen in %1 können nicht umgewandelt werden: %2.</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Database password</source>
        <translation>Datenbank-Passwort</translation>
    </message>
    <message>
        <source>Password of %1:</source>
        <translation>Passwort für %1:</translation>
    </message>
    <message>
        <source>%1

Work with the tables in the folder %2 instead?</source>
        <translation>%1

Stattdessen mit den Tabellen im Ordner %2 arbeiten?</translation>
    </message>
</context>
<context>
    <name>THauptform</name>
    <message>
        <source>Korvane Training (Vers 3.1 letztes Update 30.11.10)
Written by the Korvane team for testers and their athletes.</source>
        <translation>Korvane Training (Vers 3.1 letztes Update 30.11.10)
Geschrieben vom Korvane-Team für Testleiter und ihre Athleten.</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Daten</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Data folder: %1</source>
        <translation>Datenordner: %1</translation>
    </message>
    <message>
        <source>"%1" is not a folder.</source>
        <translation>„%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder "%1" cannot be created: %2.</source>
        <translation>Der Ordner „%1“ kann nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Korvane cannot work in the folder "%1".</source>
        <translation>Korvane kann nicht im Ordner „%1“ arbeiten.</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Ändern...</translation>
    </message>
    <message>
        <source>Data folder: %1 (network folder)</source>
        <translation>Datenordner: %1 (Netzwerkordner)</translation>
    </message>
    <message>
        <source>The data folder %1 lies on a network file system.

Korvane keeps its tables in SQLite files, and SQLite's locking is not reliable on network file systems: when two stations write to the same tables at once, the tables can be damaged. Let only one station at a time use this folder.

For several stations a shared database server is the right place: choose "Change..." beside the data-folder line and enter its address. Until then Korvane works in this folder as in any other.</source>
        <translation>Der Datenordner %1 liegt auf einem Netzwerk-Dateisystem.

Korvane führt seine Tabellen in SQLite-Dateien, und das Sperren von SQLite ist auf Netzwerk-Dateisystemen nicht zuverlässig: Wenn zwei Stationen gleichzeitig in dieselben Tabellen schreiben, können die Tabellen beschädigt werden. Lassen Sie immer nur eine Station diesen Ordner benutzen.

Für mehrere Stationen ist ein gemeinsamer Datenbankserver der richtige Ort: Wählen Sie „Ändern...“ neben der Zeile des Datenordners und geben Sie seine Adresse ein. Bis dahin arbeitet Korvane in diesem Ordner wie in jedem anderen.</translation>
    </message>
    <message>
        <source>Copied to %1: %2 tests, %3 athletes and %4 profiles, checked against the folder.</source>
        <translation>Nach %1 kopiert: %2 Tests, %3 Sportler und %4 Profile, mit dem Ordner verglichen.</translation>
    </message>
    <message>
        <source>Database: %1</source>
        <translation>Datenbank: %1</translation>
    </message>
</context>
<context>
    <name>app::DataSourceDialog</name>
    <message>
        <source>Data source</source>
        <translation>Datenquelle</translation>
    </message>
    <message>
        <source>Folder on this computer or a network drive</source>
        <translation>Ordner auf diesem Computer oder einem Netzlaufwerk</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Choose the data folder</source>
        <translation>Datenordner wählen</translation>
    </message>
    <message>
        <source>Database server shared by several stations</source>
        <translation>Datenbankserver, den mehrere Stationen teilen</translation>
    </message>
    <message>
        <source>The password comes from ~/.pgpass or the service file, or is asked for; Korvane never stores it.</source>
        <translation>Das Passwort kommt aus ~/.pgpass oder der Service-Datei, oder es wird erfragt; Korvane speichert es nie.</translation>
    </message>
    <message>
        <source>Copy the tables of the current folder there first (only into empty tables)</source>
        <translation>Zuerst die Tabellen des aktuellen Ordners dorthin kopieren (nur in leere Tabellen)</translation>
    </message>
    <message>
        <source>Create the folder %1?</source>
        <translation>Den Ordner %1 anlegen?</translation>
    </message>
</context>
</TS>
