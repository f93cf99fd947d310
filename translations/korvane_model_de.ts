<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Progress</name>
    <message>
        <source>Set %1</source>
        <translation>Satz %1</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Planned set time</source>
        <translation>Geplante Satzzeit</translation>
    </message>
    <message>
        <source>TUT total</source>
        <translation>TUT gesamt</translation>
    </message>
    <message>
        <source>TUT real</source>
        <translation>TUT real</translation>
    </message>
    <message>
        <source>Test %1</source>
        <translation>Test %1</translation>
    </message>
    <message>
        <source>Tests %1–%2</source>
        <translation>Tests %1–%2</translation>
    </message>
    <message>
        <source>%1 tests</source>
        <translation>%1 Tests</translation>
    </message>
    <message>
        <source>No date; placed by test number</source>
        <translation>Kein Datum; nach Testnummer eingeordnet</translation>
    </message>
    <message>
        <source>Date "%1" not readable; placed by test number</source>
        <translation>Datum „%1“ nicht lesbar; nach Testnummer eingeordnet</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>nicht gelaufen</translation>
    </message>
    <message>
        <source>"%1" not readable</source>
        <translation>„%1“ nicht lesbar</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> von %1</translation>
    </message>
    <message>
        <source>, %1 repetitions</source>
        <translation>, %1 Wiederholungen</translation>
    </message>
    <message>
        <source>TUT total: %1</source>
        <translation>TUT gesamt: %1</translation>
    </message>
    <message>
        <source>TUT real: %1</source>
        <translation>TUT real: %1</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>&quot;%1&quot; is read as %2 s. For %3 min %4 s type %3:%5.</source>
        <translation>„%1“ wird als %2 s gelesen. Für %3 min %4 s %3:%5 eingeben.</translation>
    </message>
</context>
</TS>
