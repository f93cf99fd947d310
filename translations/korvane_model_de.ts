<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Failure</name>
    <message>
        <source>Table file &quot;%1&quot; in %2: %3</source>
        <translation>Tabellendatei „%1“ in %2: %3</translation>
    </message>
    <message>
        <source>the file was removed or replaced while Korvane was running, so nothing can be stored in it. What you entered stays in the window. Close Korvane and start it again: it then opens the folder&apos;s &quot;%1&quot; again (and creates it anew if none is there), and you can store the entry again.</source>
        <translation>Die Datei wurde entfernt oder ersetzt, während Korvane lief, daher kann nichts darin gespeichert werden. Was Sie eingegeben haben, bleibt im Fenster. Beenden Sie Korvane und starten Sie es neu: Es öffnet dann wieder „%1“ im Ordner (und legt die Datei neu an, wenn keine da ist), und Sie können den Eintrag erneut speichern.</translation>
    </message>
    <message>
        <source>the record cannot be stored because the folder %1 is read-only. Korvane needs a folder it can write to; what you entered stays in the window (%2).</source>
        <translation>Der Datensatz kann nicht gespeichert werden, weil der Ordner %1 schreibgeschützt ist. Korvane braucht einen Ordner, in den es schreiben kann; was Sie eingegeben haben, bleibt im Fenster (%2).</translation>
    </message>
    <message>
        <source>The table file &quot;%1&quot; in %2 cannot be converted: %3.</source>
        <translation>Die Tabellendatei „%1“ in %2 kann nicht umgewandelt werden: %3.</translation>
    </message>
    <message>
        <source>The tables in %1 cannot be converted: %2.</source>
        <translation>Die Tabellen in %1 können nicht umgewandelt werden: %2.</translation>
    </message>
    <message>
        <source>The conversion in %1 could not be finished: %2. It will be finished at the next start.</source>
        <translation>Die Umwandlung in %1 konnte nicht abgeschlossen werden: %2. Sie wird beim nächsten Start abgeschlossen.</translation>
    </message>
    <message>
        <source>An interrupted conversion in %1 cannot be finished: %2.</source>
        <translation>Eine unterbrochene Umwandlung in %1 kann nicht abgeschlossen werden: %2.</translation>
    </message>
    <message>
        <source>The daily backup into %1 failed: %2. Saving goes on as usual; the backup is tried again tomorrow.</source>
        <translation>Die tägliche Sicherung nach %1 ist fehlgeschlagen: %2. Gespeichert wird weiter wie gewohnt; die Sicherung wird morgen erneut versucht.</translation>
    </message>
</context>
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
        <source>Date &quot;%1&quot; not readable; placed by test number</source>
        <translation>Datum „%1“ nicht lesbar; nach Testnummer eingeordnet</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>nicht gelaufen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; not readable</source>
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
