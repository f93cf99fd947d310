<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
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
</context>
</TS>
