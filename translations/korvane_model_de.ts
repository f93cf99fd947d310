<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>ClockProcedure</name>
    <message>
        <source>Couldn't find   Name</source>
        <translation>Name nicht gefunden</translation>
    </message>
    <message>
        <source>Couldn't find  Profil Name</source>
        <translation>Profilname nicht gefunden</translation>
    </message>
    <message>
        <source>Couldn't find  Exercise</source>
        <translation>Übung nicht gefunden</translation>
    </message>
</context>
<context>
    <name>Conversion</name>
    <message>
        <source>it changed while it was read</source>
        <translation>sie hat sich geändert, während sie gelesen wurde</translation>
    </message>
    <message>
        <source>An earlier conversion in %1 is not finished.</source>
        <translation>Eine frühere Umwandlung in %1 ist nicht abgeschlossen.</translation>
    </message>
    <message>
        <source>The tables in %1 cannot be converted because the folder is read-only. Nothing in it was changed; copy the folder to a place you can write to and start Korvane there.</source>
        <translation>Die Tabellen in %1 können nicht umgewandelt werden, weil der Ordner schreibgeschützt ist. Darin wurde nichts geändert; kopieren Sie den Ordner an einen Ort, an dem Sie schreiben können, und starten Sie Korvane dort.</translation>
    </message>
    <message>
        <source>the subfolder "%1" that receives the old files cannot be used: it is %2, not a folder</source>
        <translation>der Unterordner „%1“, der die alten Dateien aufnimmt, kann nicht verwendet werden: Er ist %2, kein Ordner</translation>
    </message>
    <message>
        <source>its journal names "%1", which a conversion never writes; nothing was changed. Remove the journal "%2" if no conversion was interrupted</source>
        <translation>ihr Protokoll nennt „%1“, was eine Umwandlung nie schreibt; es wurde nichts geändert. Entfernen Sie das Protokoll „%2“, wenn keine Umwandlung unterbrochen wurde</translation>
    </message>
    <message>
        <source>" and "</source>
        <translation>“ und „</translation>
    </message>
    <message>
        <source>it cannot be read (%1)</source>
        <translation>sie kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>its memo file "%1" cannot be read</source>
        <translation>ihre Memodatei „%1“ kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>its journal cannot be written (%1)</source>
        <translation>ihr Protokoll kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>its journal cannot be written</source>
        <translation>ihr Protokoll kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>its journal cannot be read (%1)</source>
        <translation>ihr Protokoll kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>its journal "%1" is damaged</source>
        <translation>ihr Protokoll „%1“ ist beschädigt</translation>
    </message>
    <message>
        <source>the folder "%1" cannot be created (%2)</source>
        <translation>der Ordner „%1“ kann nicht angelegt werden (%2)</translation>
    </message>
    <message>
        <source>the old file "%1" cannot be removed</source>
        <translation>die alte Datei „%1“ kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>the incomplete copy of "%1" in "%2" cannot be removed</source>
        <translation>die unvollständige Kopie von „%1“ in „%2“ kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>the old file "%1" has vanished</source>
        <translation>die alte Datei „%1“ ist verschwunden</translation>
    </message>
    <message>
        <source>the new file "%1" has vanished</source>
        <translation>die neue Datei „%1“ ist verschwunden</translation>
    </message>
    <message>
        <source>the new file "%1" cannot be put in place</source>
        <translation>die neue Datei „%1“ kann nicht an ihren Platz gebracht werden</translation>
    </message>
    <message>
        <source>its journal cannot be removed</source>
        <translation>ihr Protokoll kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>the old file "%1" cannot be moved into "%2" (%3)</source>
        <translation>die alte Datei „%1“ kann nicht nach „%2“ verschoben werden (%3)</translation>
    </message>
    <message>
        <source>the old file "%1" cannot be copied into "%2" (%3); it is kept where it was</source>
        <translation>die alte Datei „%1“ kann nicht nach „%2“ kopiert werden (%3); sie bleibt, wo sie war</translation>
    </message>
    <message>
        <source>the copy cannot be made durable</source>
        <translation>die Kopie kann nicht dauerhaft gespeichert werden</translation>
    </message>
    <message>
        <source>the copy differs from the original</source>
        <translation>die Kopie weicht vom Original ab</translation>
    </message>
    <message>
        <source>the copy cannot take its name</source>
        <translation>die Kopie kann ihren Namen nicht erhalten</translation>
    </message>
    <message>
        <source>the old file "%1" was copied into "%2" but cannot be removed</source>
        <translation>die alte Datei „%1“ wurde nach „%2“ kopiert, kann aber nicht entfernt werden</translation>
    </message>
    <message>
        <source>it is %1, not an ordinary file</source>
        <translation>sie ist %1, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is named like the table "%1" but is no Paradox table (its header does not match)</source>
        <translation>sie heißt wie die Tabelle „%1“, ist aber keine Paradox-Tabelle (ihr Kopf passt nicht)</translation>
    </message>
    <message>
        <source>the file "%1" holds the same table</source>
        <translation>die Datei „%1“ enthält dieselbe Tabelle</translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The code page Windows-1252 is not available for the export.</source>
        <translation>Die Codepage Windows-1252 steht für den Export nicht zur Verfügung.</translation>
    </message>
    <message>
        <source>write failed</source>
        <translation>Schreiben fehlgeschlagen</translation>
    </message>
    <message>
        <source>The export could not be written: %1</source>
        <translation>Der Export konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>It is a link to "%1"; Korvane writes its export only as an ordinary file. Remove or rename the link and export again.</source>
        <translation>Sie ist eine Verknüpfung auf „%1“; Korvane schreibt seinen Export nur als gewöhnliche Datei. Entfernen Sie die Verknüpfung oder benennen Sie sie um und exportieren Sie erneut.</translation>
    </message>
    <message>
        <source>It is %1, not an ordinary file, so the export could not be created there.</source>
        <translation>Sie ist %1, keine gewöhnliche Datei, daher konnte der Export dort nicht angelegt werden.</translation>
    </message>
    <message>
        <source>It is a table file, not an export.</source>
        <translation>Sie ist eine Tabellendatei, kein Export.</translation>
    </message>
    <message>
        <source>"%1" was not written; the previous file is unchanged. </source>
        <translation>„%1“ wurde nicht geschrieben; die bisherige Datei ist unverändert. </translation>
    </message>
    <message>
        <source>"%1" could not be created: %2</source>
        <translation>„%1“ konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>"%1" was not written; the previous file is unchanged. The export could not be written: %2</source>
        <translation>„%1“ wurde nicht geschrieben; die bisherige Datei ist unverändert. Der Export konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>1 value holds</source>
        <translation>1 Wert enthält</translation>
    </message>
    <message>
        <source>%1 values hold</source>
        <translation>%1 Werte enthalten</translation>
    </message>
    <message>
        <source>"%1" was written. %2 characters that its code page (Windows-1252) cannot represent; each of them was written as "?". The tables keep the full text.</source>
        <translation>„%1“ wurde geschrieben. %2 Zeichen, die ihre Codepage (Windows-1252) nicht darstellen kann; jedes davon wurde als „?“ geschrieben. Die Tabellen behalten den vollständigen Text.</translation>
    </message>
    <message>
        <source>The stored tests could not be read: %1</source>
        <translation>Die gespeicherten Tests konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The standard output cannot be written: %1</source>
        <translation>Die Standardausgabe kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The export on the standard output is incomplete. </source>
        <translation>Der Export auf der Standardausgabe ist unvollständig. </translation>
    </message>
    <message>
        <source>"%1" could not be created.</source>
        <translation>„%1“ konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The workbook could not be written: %1</source>
        <translation>Die Arbeitsmappe konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The workbook could not be written: a sheet would have more than %1 rows.</source>
        <translation>Die Arbeitsmappe konnte nicht geschrieben werden: ein Blatt hätte mehr als %1 Zeilen.</translation>
    </message>
    <message>
        <source>The workbook could not be written: a value in row %1 is longer than a cell holds (%2 characters).</source>
        <translation>Die Arbeitsmappe konnte nicht geschrieben werden: ein Wert in Zeile %1 ist länger, als eine Zelle fasst (%2 Zeichen).</translation>
    </message>
    <message>
        <source>The workbook could not be put in place: %1</source>
        <translation>Die Arbeitsmappe konnte nicht an ihren Platz gelegt werden: %1</translation>
    </message>
    <message>
        <source>1 test</source>
        <translation>1 Test</translation>
    </message>
    <message>
        <source>%1 tests</source>
        <translation>%1 Tests</translation>
    </message>
    <message>
        <source>1 set</source>
        <translation>1 Satz</translation>
    </message>
    <message>
        <source>%1 sets</source>
        <translation>%1 Sätze</translation>
    </message>
    <message>
        <source>%1 with %2 written to "%3".</source>
        <translation>%1 mit %2 in „%3“ geschrieben.</translation>
    </message>
    <message>
        <source>1 value that could not be read as a number or date stayed text.</source>
        <translation>1 Wert, der nicht als Zahl oder Datum gelesen werden konnte, blieb Text.</translation>
    </message>
    <message>
        <source>%1 values that could not be read as a number or date stayed text.</source>
        <translation>%1 Werte, die nicht als Zahl oder Datum gelesen werden konnten, blieben Text.</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>Table file "%1" in %2: %3</source>
        <translation>Tabellendatei „%1“ in %2: %3</translation>
    </message>
    <message>
        <source>the file was removed or replaced while Korvane was running, so nothing can be stored in it. What you entered stays in the window. Close Korvane and start it again: it then opens the folder's "%1" again (and creates it anew if none is there), and you can store the entry again.</source>
        <translation>Die Datei wurde entfernt oder ersetzt, während Korvane lief, daher kann nichts darin gespeichert werden. Was Sie eingegeben haben, bleibt im Fenster. Beenden Sie Korvane und starten Sie es neu: Es öffnet dann wieder „%1“ im Ordner (und legt die Datei neu an, wenn keine da ist), und Sie können den Eintrag erneut speichern.</translation>
    </message>
    <message>
        <source>the record cannot be stored because the folder %1 is read-only. Korvane needs a folder it can write to; what you entered stays in the window (%2).</source>
        <translation>Der Datensatz kann nicht gespeichert werden, weil der Ordner %1 schreibgeschützt ist. Korvane braucht einen Ordner, in den es schreiben kann; was Sie eingegeben haben, bleibt im Fenster (%2).</translation>
    </message>
    <message>
        <source>The table file "%1" in %2 cannot be converted: %3.</source>
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
    <message>
        <source>Database server %1: %2</source>
        <translation>Datenbankserver %1: %2</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>missing</source>
        <translation>nicht vorhanden</translation>
    </message>
    <message>
        <source>an ordinary file</source>
        <translation>eine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>ein Ordner</translation>
    </message>
    <message>
        <source>a link to a missing file</source>
        <translation>eine Verknüpfung auf eine fehlende Datei</translation>
    </message>
    <message>
        <source>a named pipe (FIFO)</source>
        <translation>eine benannte Pipe (FIFO)</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>no ordinary file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is %1, not an ordinary file</source>
        <translation>es ist %1, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is %1, not a folder</source>
        <translation>es ist %1, kein Ordner</translation>
    </message>
</context>
<context>
    <name>ParadoxTable</name>
    <message>
        <source>it is cut off: it ends within its header</source>
        <translation>sie ist abgeschnitten: sie endet innerhalb ihres Kopfes</translation>
    </message>
    <message>
        <source>it is an index file, not a table</source>
        <translation>sie ist eine Indexdatei, keine Tabelle</translation>
    </message>
    <message>
        <source>it is damaged: its file type %1 is unknown</source>
        <translation>sie ist beschädigt: ihr Dateityp %1 ist unbekannt</translation>
    </message>
    <message>
        <source>it is of a version this program does not read (version code %1)</source>
        <translation>sie hat eine Version, die dieses Programm nicht liest (Versionscode %1)</translation>
    </message>
    <message>
        <source>it is damaged: its block size code %1 is unknown</source>
        <translation>sie ist beschädigt: ihr Blockgrößencode %1 ist unbekannt</translation>
    </message>
    <message>
        <source>it is damaged: its header is too small (%1 bytes)</source>
        <translation>sie ist beschädigt: ihr Kopf ist zu klein (%1 Bytes)</translation>
    </message>
    <message>
        <source>it is encrypted (protected by a password)</source>
        <translation>sie ist verschlüsselt (durch ein Passwort geschützt)</translation>
    </message>
    <message>
        <source>its code page %1 cannot be decoded on this system</source>
        <translation>ihre Codepage %1 kann auf diesem System nicht dekodiert werden</translation>
    </message>
    <message>
        <source>it is damaged: it names %1 fields</source>
        <translation>sie ist beschädigt: sie nennt %1 Felder</translation>
    </message>
    <message>
        <source>it is damaged: its field list does not fit its header</source>
        <translation>sie ist beschädigt: ihre Feldliste passt nicht in ihren Kopf</translation>
    </message>
    <message>
        <source>its field %1 is of a kind this program does not read (type code %2)</source>
        <translation>ihr Feld %1 ist von einer Art, die dieses Programm nicht liest (Typcode %2)</translation>
    </message>
    <message>
        <source>it is damaged: field %1 has %2 decimal places</source>
        <translation>sie ist beschädigt: Feld %1 hat %2 Nachkommastellen</translation>
    </message>
    <message>
        <source>it is damaged: field %1 is %2 bytes wide instead of %3</source>
        <translation>sie ist beschädigt: Feld %1 ist %2 Bytes breit statt %3</translation>
    </message>
    <message>
        <source>it is damaged: the memo field %1 is only %2 bytes wide</source>
        <translation>sie ist beschädigt: das Memofeld %1 ist nur %2 Bytes breit</translation>
    </message>
    <message>
        <source>it is damaged: field %1 has no width</source>
        <translation>sie ist beschädigt: Feld %1 hat keine Breite</translation>
    </message>
    <message>
        <source>it is damaged: its records are %1 bytes long but its fields take %2</source>
        <translation>sie ist beschädigt: ihre Datensätze sind %1 Bytes lang, ihre Felder belegen aber %2</translation>
    </message>
    <message>
        <source>it is damaged: its records do not fit its blocks</source>
        <translation>sie ist beschädigt: ihre Datensätze passen nicht in ihre Blöcke</translation>
    </message>
    <message>
        <source>it is damaged: its field names cannot be read</source>
        <translation>sie ist beschädigt: ihre Feldnamen können nicht gelesen werden</translation>
    </message>
    <message>
        <source>it is cut off: its header counts %1 blocks, the file holds %2</source>
        <translation>sie ist abgeschnitten: ihr Kopf zählt %1 Blöcke, die Datei enthält %2</translation>
    </message>
    <message>
        <source>it is damaged: it counts %1 records but has no data block</source>
        <translation>sie ist beschädigt: sie zählt %1 Datensätze, hat aber keinen Datenblock</translation>
    </message>
    <message>
        <source>it is cut off: its block %1 is missing</source>
        <translation>sie ist abgeschnitten: ihr Block %1 fehlt</translation>
    </message>
    <message>
        <source>it is damaged: its blocks are linked in a circle</source>
        <translation>sie ist beschädigt: ihre Blöcke sind im Kreis verkettet</translation>
    </message>
    <message>
        <source>it is damaged: block %1 holds a broken record</source>
        <translation>sie ist beschädigt: Block %1 enthält einen defekten Datensatz</translation>
    </message>
    <message>
        <source>it is damaged: block %1 claims more records than it can hold</source>
        <translation>sie ist beschädigt: Block %1 gibt mehr Datensätze an, als er fassen kann</translation>
    </message>
    <message>
        <source>it is damaged: a memo is longer than its field</source>
        <translation>sie ist beschädigt: ein Memo ist länger als sein Feld</translation>
    </message>
    <message>
        <source>its memo file (".MB") is missing</source>
        <translation>ihre Memodatei („.MB“) fehlt</translation>
    </message>
    <message>
        <source>its memo file (".MB") is damaged or does not belong to it</source>
        <translation>ihre Memodatei („.MB“) ist beschädigt oder gehört nicht zu ihr</translation>
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
    <name>ServerCopy</name>
    <message>
        <source>it holds no table of this program</source>
        <translation>sie enthält keine Tabelle dieses Programms</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Den Ordner %1 gibt es nicht.</translation>
    </message>
    <message>
        <source>its table "%1" holds %2 records already; the tables of a folder are copied only into empty tables</source>
        <translation>seine Tabelle „%1“ enthält bereits %2 Datensätze; die Tabellen eines Ordners werden nur in leere Tabellen kopiert</translation>
    </message>
    <message>
        <source>the copy of "%1" holds %2 records instead of %3; nothing was copied</source>
        <translation>die Kopie von „%1“ enthält %2 statt %3 Datensätze; nichts wurde kopiert</translation>
    </message>
    <message>
        <source>the tests read back from the server differ from those in the folder; nothing was copied</source>
        <translation>die vom Server zurückgelesenen Tests weichen von denen im Ordner ab; nichts wurde kopiert</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>"%1" is read as %2 s. For %3 min %4 s type %3:%5.</source>
        <translation>„%1“ wird als %2 s gelesen. Für %3 min %4 s %3:%5 eingeben.</translation>
    </message>
    <message>
        <source>Start Rest</source>
        <translation>Startpause</translation>
    </message>
    <message>
        <source>To-Phase</source>
        <translation>Aufwärtsphase</translation>
    </message>
    <message>
        <source>Fro-Phase</source>
        <translation>Abwärtsphase</translation>
    </message>
    <message>
        <source>Rest after To-Phase</source>
        <translation>Pause nach Aufwärtsphase</translation>
    </message>
    <message>
        <source>Rest after Fro-Phase</source>
        <translation>Pause nach Abwärtsphase</translation>
    </message>
    <message>
        <source>Repetitions</source>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>Sets</source>
        <translation>Sätze</translation>
    </message>
    <message>
        <source>Rest in-between Sets</source>
        <translation>Satzpause</translation>
    </message>
    <message>
        <source>%1: "%2" is not %3</source>
        <translation>%1: „%2“ ist keine %3</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>ganze Zahl</translation>
    </message>
    <message>
        <source>a number of seconds</source>
        <translation>Sekundenzahl</translation>
    </message>
    <message>
        <source>%1 is not %2: a test cannot start.</source>
        <translation>%1 ist keine %2: Ein Test kann nicht starten.</translation>
    </message>
    <message>
        <source> For %1 s type %1.</source>
        <translation> Für %1 s geben Sie %1 ein.</translation>
    </message>
    <message>
        <source>No time typed: the clock takes %1 s.</source>
        <translation>Keine Zeit eingegeben: Die Uhr nimmt %1 s.</translation>
    </message>
    <message>
        <source>%1 cannot be read as a time: the clock takes %2 s.</source>
        <translation>%1 kann nicht als Zeit gelesen werden: Die Uhr nimmt %2 s.</translation>
    </message>
    <message>
        <source>A time cannot be negative: the clock takes %1 s.</source>
        <translation>Eine Zeit kann nicht negativ sein: Die Uhr nimmt %1 s.</translation>
    </message>
    <message>
        <source>%1 is read as %2 s. For %3 s type %4.</source>
        <translation>%1 wird als %2 s gelesen. Für %3 s geben Sie %4 ein.</translation>
    </message>
    <message>
        <source>"%1" is read as %2 s. For %3 min %4 s type %5.</source>
        <translation>„%1“ wird als %2 s gelesen. Für %3 min %4 s %5 eingeben.</translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <source>the answer to the last action is still awaited; try again in a moment</source>
        <translation>die Antwort auf die letzte Aktion steht noch aus; bitte gleich noch einmal versuchen</translation>
    </message>
    <message>
        <source>it did not answer within %1 seconds and was left; nothing was lost, and the action can be tried again</source>
        <translation>er hat nicht innerhalb von %1 Sekunden geantwortet und wurde verlassen; nichts ging verloren, die Aktion kann wiederholt werden</translation>
    </message>
    <message>
        <source>the query cannot run</source>
        <translation>die Abfrage kann nicht ausgeführt werden</translation>
    </message>
    <message>
        <source>the query "%1" is not supported</source>
        <translation>die Abfrage „%1“ wird nicht unterstützt</translation>
    </message>
    <message>
        <source>the file "%1" is in the way</source>
        <translation>die Datei „%1“ ist im Weg</translation>
    </message>
    <message>
        <source>the new table file cannot be created (%1)</source>
        <translation>die neue Tabellendatei kann nicht angelegt werden (%1)</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>Speicher erschöpft</translation>
    </message>
    <message>
        <source>the new table file %1 (%2)</source>
        <translation>die neue Tabellendatei %1 (%2)</translation>
    </message>
    <message>
        <source>cannot be closed</source>
        <translation>kann nicht geschlossen werden</translation>
    </message>
    <message>
        <source>the new table file cannot be made durable</source>
        <translation>die neue Tabellendatei kann nicht dauerhaft gespeichert werden</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>it is damaged (%1); nothing was changed in it</source>
        <translation>sie ist beschädigt (%1); darin wurde nichts geändert</translation>
    </message>
    <message>
        <source>the record cannot be stored (%1)</source>
        <translation>der Datensatz kann nicht gespeichert werden (%1)</translation>
    </message>
    <message>
        <source>it is %1, not an ordinary file</source>
        <translation>sie ist %1, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it cannot be created (%1)</source>
        <translation>sie kann nicht angelegt werden (%1)</translation>
    </message>
    <message>
        <source>it cannot be written (%1)</source>
        <translation>sie kann nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>it holds no table "%1"</source>
        <translation>sie enthält keine Tabelle „%1“</translation>
    </message>
    <message>
        <source>its table "%1" has the fields %2 instead of %3</source>
        <translation>ihre Tabelle „%1“ hat die Felder %2 statt %3</translation>
    </message>
    <message>
        <source>its field "%1" is not an integer key</source>
        <translation>ihr Feld „%1“ ist kein ganzzahliger Schlüssel</translation>
    </message>
    <message>
        <source>the table "%1" is closed</source>
        <translation>die Tabelle „%1“ ist geschlossen</translation>
    </message>
    <message>
        <source>the table "%1" has no field "%2"</source>
        <translation>die Tabelle „%1“ hat kein Feld „%2“</translation>
    </message>
    <message>
        <source>the field "%1" is assigned by the store</source>
        <translation>das Feld „%1“ wird beim Speichern vergeben</translation>
    </message>
    <message>
        <source>no record of "%1" is being inserted</source>
        <translation>es wird kein Datensatz in „%1“ eingefügt</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>There is no table file "%1" in %2.</source>
        <translation>In %2 gibt es keine Tabellendatei „%1“.</translation>
    </message>
    <message>
        <source>it holds no test table of this program</source>
        <translation>sie enthält keine Testtabelle dieses Programms</translation>
    </message>
    <message>
        <source>the test table is not open</source>
        <translation>die Testtabelle ist nicht geöffnet</translation>
    </message>
    <message>
        <source>the connection to the database server is not open</source>
        <translation>die Verbindung zum Datenbankserver ist nicht offen</translation>
    </message>
    <message>
        <source>"%1" is no database address of the form postgresql://user@host:port/database</source>
        <translation>„%1“ ist keine Datenbankadresse der Form postgresql://benutzer@host:port/datenbank</translation>
    </message>
    <message>
        <source>"%1" names more than one database</source>
        <translation>„%1“ nennt mehr als eine Datenbank</translation>
    </message>
    <message>
        <source>the table "%1" on %2</source>
        <translation>die Tabelle „%1“ auf %2</translation>
    </message>
    <message>
        <source>table "%1": %2</source>
        <translation>Tabelle „%1“: %2</translation>
    </message>
    <message>
        <source>it cannot be reached (%1)</source>
        <translation>er ist nicht erreichbar (%1)</translation>
    </message>
    <message>
        <source>field %1 is "%2" where Korvane keeps "%3"; this database holds the table in another layout and is not used</source>
        <translation>Feld %1 ist „%2“, wo Korvane „%3“ führt; diese Datenbank hält die Tabelle in einem anderen Aufbau und wird nicht benutzt</translation>
    </message>
    <message>
        <source>the connection to the server broke while the record was stored (%1); what you entered stays in the window and can be stored again</source>
        <translation>die Verbindung zum Server brach ab, während der Datensatz gespeichert wurde (%1); Ihre Eingaben bleiben im Fenster und können erneut gespeichert werden</translation>
    </message>
    <message>
        <source>the PostgreSQL client library could not be used: %1</source>
        <translation>die PostgreSQL-Clientbibliothek ließ sich nicht verwenden: %1</translation>
    </message>
    <message>
        <source>The notes of the tests could not be read: %1</source>
        <translation>Die Notizen der Tests konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the note of test %1 cannot be stored (%2)</source>
        <translation>die Notiz zu Test %1 kann nicht gespeichert werden (%2)</translation>
    </message>
    <message>
        <source>a value holds a zero byte, which the server cannot store</source>
        <translation>ein Wert enthält ein Nullbyte, das der Server nicht speichern kann</translation>
    </message>
    <message>
        <source>a statement has an unclosed quote or comment</source>
        <translation>eine Anweisung hat ein nicht geschlossenes Anführungszeichen oder einen nicht geschlossenen Kommentar</translation>
    </message>
    <message>
        <source>a statement's parameter $%1 runs into the text after it</source>
        <translation>der Parameter $%1 einer Anweisung geht in den folgenden Text über</translation>
    </message>
    <message>
        <source>a statement has no value for its parameter $%1</source>
        <translation>eine Anweisung hat keinen Wert für ihren Parameter $%1</translation>
    </message>
    <message>
        <source>the server sent more than one set of rows</source>
        <translation>der Server hat mehr als eine Zeilenmenge gesendet</translation>
    </message>
    <message>
        <source>the server waits for data that was never sent</source>
        <translation>der Server wartet auf Daten, die nie gesendet wurden</translation>
    </message>
    <message>
        <source>"%1" is no parameter of a database address</source>
        <translation>"%1" ist kein Parameter einer Datenbankadresse</translation>
    </message>
    <message>
        <source>The value of the parameter "%1" holds a ";", which the database driver cannot pass on; the address is not used.</source>
        <translation>Der Wert des Parameters "%1" enthält ein ";", das der Datenbanktreiber nicht weitergeben kann; die Adresse wird nicht verwendet.</translation>
    </message>
    <message>
        <source>The port "%1" of a database address is no number from 1 to 65535.</source>
        <translation>Der Port "%1" einer Datenbankadresse ist keine Zahl von 1 bis 65535.</translation>
    </message>
</context>
<context>
    <name>TestReport</name>
    <message>
        <source>en</source>
        <extracomment>The language whose number forms the report uses: &quot;en&quot; or &quot;de&quot;.</extracomment>
        <translation>de</translation>
    </message>
</context>
</TS>
