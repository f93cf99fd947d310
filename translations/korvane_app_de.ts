<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
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
        <source>Another Korvane is working in the folder %1 (its lock file &quot;%2&quot; is there). Close it first, or start Korvane in another folder.</source>
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
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Data folder: %1</source>
        <translation>Datenordner: %1</translation>
    </message>
    <message>
        <source>The data folder %1 lies on a network file system.

Korvane keeps its tables in SQLite files, and SQLite's locking is not reliable on network file systems: when two stations write to the same tables at once, the tables can be damaged. Let only one station at a time use this folder.

For several stations a shared database server is the right place; Korvane's support for one is planned. Until then Korvane works in this folder as in any other.</source>
        <translation>Der Datenordner %1 liegt auf einem Netzwerk-Dateisystem.

Korvane hält seine Tabellen in SQLite-Dateien, und die Sperren von SQLite sind auf Netzwerk-Dateisystemen nicht zuverlässig: Schreiben zwei Stationen gleichzeitig in dieselben Tabellen, können die Tabellen beschädigt werden. Lassen Sie immer nur eine Station zur Zeit mit diesem Ordner arbeiten.

Für mehrere Stationen ist ein gemeinsamer Datenbankserver der richtige Ort; Korvane soll ihn künftig unterstützen. Bis dahin arbeitet Korvane in diesem Ordner wie in jedem anderen.</translation>
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
</context>
</TS>
