<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AthleteView</name>
    <message>
        <source>Test over</source>
        <translation>Test beendet</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>The results of the test of %1 started at %2 are not saved. Save them?</source>
        <translation>Die Ergebnisse des Tests von %1, begonnen um %2, sind nicht gespeichert. Jetzt speichern?</translation>
    </message>
    <message>
        <source>an unnamed athlete</source>
        <translation>einem Athleten ohne Namen</translation>
    </message>
    <message>
        <source>Set %1: %2 s, %3 rep.</source>
        <translation>Satz %1: %2 s, %3 Wdh.</translation>
    </message>
    <message>
        <source>Test %1 saved</source>
        <translation>Test %1 gespeichert</translation>
    </message>
    <message>
        <source>Profile %1 saved</source>
        <translation>Profil %1 gespeichert</translation>
    </message>
    <message>
        <source>Athlete %1 saved</source>
        <translation>Athlet %1 gespeichert</translation>
    </message>
</context>
</TS>
