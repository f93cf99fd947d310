<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Guard</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>Speech</name>
    <message>
        <source>No speech engine is installed.</source>
        <translation>Es ist keine Sprachausgabe installiert.</translation>
    </message>
    <message>
        <source>The speech engine "%1" is not installed.</source>
        <translation>Die Sprachausgabe „%1“ ist nicht installiert.</translation>
    </message>
    <message>
        <source>the engine failed to start</source>
        <translation>die Sprachausgabe ließ sich nicht starten</translation>
    </message>
    <message>
        <source>Speech is not available (%1).</source>
        <translation>Die Sprachausgabe ist nicht verfügbar (%1).</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>As filtered</source>
        <translation>Wie gefiltert</translation>
    </message>
    <message>
        <source>All tests</source>
        <translation>Alle Tests</translation>
    </message>
</context>
</TS>
