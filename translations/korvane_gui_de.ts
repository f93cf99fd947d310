<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AthleteView</name>
    <message>
        <source>Test over</source>
        <translation>Test beendet</translation>
    </message>
    <message>
        <source>Athlete view</source>
        <translation>Athletenansicht</translation>
    </message>
    <message>
        <source>Repetition %1 / %2</source>
        <translation>Wiederholung %1 / %2</translation>
    </message>
    <message>
        <source>Set %1 / %2</source>
        <translation>Satz %1 / %2</translation>
    </message>
    <message>
        <source>Next set in %1</source>
        <translation>Nächster Satz in %1</translation>
    </message>
</context>
<context>
    <name>Phases</name>
    <message>
        <source>Start Rest</source>
        <translation>Startpause</translation>
    </message>
    <message>
        <source>Fro-Phase</source>
        <translation>Abwärtsphase</translation>
    </message>
    <message>
        <source>Rest after Fro-Phase</source>
        <translation>Pause nach Abwärtsphase</translation>
    </message>
    <message>
        <source>To-Phase</source>
        <translation>Aufwärtsphase</translation>
    </message>
    <message>
        <source>Rest after To-Phase</source>
        <translation>Pause nach Aufwärtsphase</translation>
    </message>
    <message>
        <source>Rest between Sets</source>
        <translation>Satzpause</translation>
    </message>
    <message>
        <source>TEST</source>
        <translation>TEST</translation>
    </message>
    <message>
        <source>BEGIN</source>
        <translation>START</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Unterbrechung</translation>
    </message>
</context>
<context>
    <name>ProgressWindow</name>
    <message>
        <source>(no name)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Athlet</source>
        <translation>Athlet</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <source>Save chart...</source>
        <translation>Diagramm speichern...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>(no exercise)</source>
        <translation>(keine Übung)</translation>
    </message>
    <message>
        <source>No stored tests.</source>
        <translation>Keine gespeicherten Tests.</translation>
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
        <source>, none with a readable date: placed by test number</source>
        <translation>, keiner mit lesbarem Datum: nach Testnummer eingeordnet</translation>
    </message>
    <message>
        <source>, %1 without a readable date: placed by test number, marked ◇</source>
        <translation>, %1 ohne lesbares Datum: nach Testnummer eingeordnet, mit ◇ markiert</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Real time per set</source>
        <translation>Ist-Zeit je Satz</translation>
    </message>
    <message>
        <source>Repetitions per set</source>
        <translation>Wiederholungen je Satz</translation>
    </message>
    <message>
        <source>TUT per test</source>
        <translation>TUT je Test</translation>
    </message>
    <message>
        <source>Tests by number</source>
        <translation>Tests nach Nummer</translation>
    </message>
    <message>
        <source>Tests by date</source>
        <translation>Tests nach Datum</translation>
    </message>
    <message>
        <source>Repetitions</source>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>Date not readable</source>
        <translation>Datum nicht lesbar</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>SVG image (*.svg)</source>
        <translation>SVG-Bild (*.svg)</translation>
    </message>
    <message>
        <source>Save chart</source>
        <translation>Diagramm speichern</translation>
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
        <source>the picture could not be made</source>
        <translation>das Bild konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>The charts cannot be shown: %1</source>
        <translation>Die Diagramme können nicht angezeigt werden: %1</translation>
    </message>
    <message>
        <source>, 1 invalid test left out</source>
        <translation>, 1 ungültiger Test ausgelassen</translation>
    </message>
    <message>
        <source>, %1 invalid tests left out</source>
        <translation>, %1 ungültige Tests ausgelassen</translation>
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
    <message>
        <source>Report...</source>
        <translation>Bericht...</translation>
    </message>
    <message>
        <source>Print the test or save it as PDF</source>
        <translation>Den Test drucken oder als PDF speichern</translation>
    </message>
    <message>
        <source>A test is running</source>
        <translation>Ein Test läuft</translation>
    </message>
    <message>
        <source>Athlet</source>
        <translation>Athlet</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Surname</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Bodyweight</source>
        <translation>Körpergewicht</translation>
    </message>
    <message>
        <source>kg</source>
        <translation>kg</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Körpergröße</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Save Athlet</source>
        <translation>Athlet speichern</translation>
    </message>
    <message>
        <source>Progress...</source>
        <translation>Verlauf...</translation>
    </message>
    <message>
        <source>Testprofil</source>
        <translation>Testprofil</translation>
    </message>
    <message>
        <source>Profil Nr.</source>
        <translation>Profil-Nr.</translation>
    </message>
    <message>
        <source>Profil Name</source>
        <translation>Profilname</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <source>Test Profil Settings</source>
        <translation>Testprofil-Einstellungen</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Time intervals 100 ms ( 0,1s) minimum 0,1 s</source>
        <translation>Zeitintervalle 100 ms (0,1 s), mindestens 0,1 s</translation>
    </message>
    <message>
        <source>Begin</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>ab 1min  keine Dezimalzahl</source>
        <translation>ab 1 min keine Dezimalzahl</translation>
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
        <source>Beep</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>10 s before continue</source>
        <translation>10 s vor Fortsetzung</translation>
    </message>
    <message>
        <source>Open Profil</source>
        <translation>Profil öffnen</translation>
    </message>
    <message>
        <source>Save Profil </source>
        <translation>Profil speichern</translation>
    </message>
    <message>
        <source>Close Listbox</source>
        <translation>Liste schließen</translation>
    </message>
    <message>
        <source>Test Procedure</source>
        <translation>Testablauf</translation>
    </message>
    <message>
        <source>Start (F5)</source>
        <translation>Start (F5)</translation>
    </message>
    <message>
        <source>Stop (F6)</source>
        <translation>Stopp (F6)</translation>
    </message>
    <message>
        <source>Break / resume (F7)</source>
        <translation>Unterbrechen / fortsetzen (F7)</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the set (F8)</source>
        <translation>Den Satz abbrechen (F8)</translation>
    </message>
    <message>
        <source>Athlete view</source>
        <translation>Athletenansicht</translation>
    </message>
    <message>
        <source>The phase display in large type for the athlete; Esc closes it</source>
        <translation>Die Phasenanzeige in großer Schrift für den Athleten; Esc schließt sie</translation>
    </message>
    <message>
        <source>Speak</source>
        <translation>Ansagen</translation>
    </message>
    <message>
        <source>Speak the cues as well</source>
        <translation>Die Signale auch ansagen</translation>
    </message>
    <message>
        <source>TUT real</source>
        <translation>TUT real</translation>
    </message>
    <message>
        <source>TUT total</source>
        <translation>TUT gesamt</translation>
    </message>
    <message>
        <source>Time/Sets</source>
        <translation>Zeit/Satz</translation>
    </message>
    <message>
        <source>Save Data </source>
        <translation>Daten speichern</translation>
    </message>
    <message>
        <source>Visible</source>
        <translation>Sichtbar</translation>
    </message>
    <message>
        <source>Real Time in s</source>
        <translation>Ist-Zeit in s</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The tables are not open.</source>
        <translation>Die Tabellen sind nicht geöffnet.</translation>
    </message>
    <message>
        <source>The profile %1 is no longer stored. Open the list again to choose another.</source>
        <translation>Das Profil %1 ist nicht mehr gespeichert. Öffnen Sie die Liste erneut, um ein anderes zu wählen.</translation>
    </message>
    <message>
        <source>Couldn't find  Testnr.</source>
        <translation>Testnr. nicht gefunden.</translation>
    </message>
    <message>
        <source>Couldn't find  Profil Name.</source>
        <translation>Profilname nicht gefunden.</translation>
    </message>
    <message>
        <source>The athlete %1 is no longer stored. Open the list again to choose another.</source>
        <translation>Der Athlet %1 ist nicht mehr gespeichert. Öffnen Sie die Liste erneut, um einen anderen zu wählen.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Please insert athlet data</source>
        <translation>Bitte die Daten des Athleten eingeben</translation>
    </message>
    <message>
        <source>Conditions, RPE, ...</source>
        <translation>Bedingungen, RPE, ...</translation>
    </message>
    <message>
        <source>Name or initials</source>
        <translation>Name oder Kürzel</translation>
    </message>
    <message>
        <source>Who ran the test; kept for the next tests at this station</source>
        <translation>Wer den Test geleitet hat; bleibt für die nächsten Tests an diesem Platz stehen</translation>
    </message>
    <message>
        <source>Tester</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>Invalid attempt</source>
        <translation>Ungültiger Versuch</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Seconds only, also for a minute or more: 90 for 1:30</source>
        <translation>Nur Sekunden, auch ab einer Minute: 90 für 1:30</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>Report...</source>
        <translation>Bericht...</translation>
    </message>
    <message>
        <source>Print the current test or save it as PDF</source>
        <translation>Den aktuellen Test drucken oder als PDF speichern</translation>
    </message>
    <message>
        <source>Choose a stored test in the lowest grid first.</source>
        <translation>Wählen Sie zuerst einen gespeicherten Test in der untersten Tabelle.</translation>
    </message>
    <message>
        <source>Data source and export</source>
        <translation>Datenquelle und Export</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Export to CSV-File </source>
        <translation>Als CSV-Datei exportieren</translation>
    </message>
    <message>
        <source>Export all fields...</source>
        <translation>Alle Felder exportieren...</translation>
    </message>
    <message>
        <source>Progress...</source>
        <translation>Verlauf...</translation>
    </message>
    <message>
        <source>Export all fields</source>
        <translation>Alle Felder exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 written to "%2".</source>
        <translation>%1 in „%2“ geschrieben.</translation>
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
        <source>Export to Excel...</source>
        <translation>Nach Excel exportieren...</translation>
    </message>
    <message>
        <source>The test grid is filtered. Export the tests as filtered, or all tests?</source>
        <translation>Die Testtabelle ist gefiltert. Die gefilterten Tests exportieren oder alle Tests?</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>Nach Excel exportieren</translation>
    </message>
    <message>
        <source>Excel workbooks (*.xlsx);;All files (*)</source>
        <translation>Excel-Arbeitsmappen (*.xlsx);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>TestReport</name>
    <message>
        <source>Profile name</source>
        <translation>Profilname</translation>
    </message>
    <message>
        <source>There is no test %1 in "%2".</source>
        <translation>In „%2“ gibt es keinen Test %1.</translation>
    </message>
    <message>
        <source>"%1" was not written: it is a table file, not a report.</source>
        <translation>„%1“ wurde nicht geschrieben: Es ist eine Tabellendatei, kein Bericht.</translation>
    </message>
    <message>
        <source>"%1" was not written: %2</source>
        <translation>„%1“ wurde nicht geschrieben: %2</translation>
    </message>
    <message>
        <source>Test report</source>
        <translation>Testbericht</translation>
    </message>
    <message>
        <source>Save as PDF...</source>
        <translation>Als PDF speichern...</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>"%1" was not written: it is %2, not an ordinary file.</source>
        <translation>„%1“ wurde nicht geschrieben: Es ist %2, keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>a link</source>
        <translation>eine Verknüpfung</translation>
    </message>
    <message>
        <source>this test</source>
        <translation>dieser Test</translation>
    </message>
    <message>
        <source>this test (not saved)</source>
        <translation>dieser Test (nicht gespeichert)</translation>
    </message>
    <message>
        <source>No values to chart.</source>
        <translation>Keine Werte für ein Diagramm.</translation>
    </message>
    <message>
        <source>Test %1</source>
        <translation>Test %1</translation>
    </message>
    <message>
        <source>Test not saved</source>
        <translation>Test nicht gespeichert</translation>
    </message>
    <message>
        <source>Date %1</source>
        <translation>Datum %1</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Athlete</source>
        <translation>Athlet</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Surname</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Body weight</source>
        <translation>Körpergewicht</translation>
    </message>
    <message>
        <source>kg</source>
        <translation>kg</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Körpergröße</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>Time under tension</source>
        <translation>Zeit unter Spannung</translation>
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
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Start rest</source>
        <translation>Startpause</translation>
    </message>
    <message>
        <source>Fro-Phase</source>
        <translation>Abwärtsphase</translation>
    </message>
    <message>
        <source>Rest after Fro-Phase</source>
        <translation>Pause nach Abwärtsphase</translation>
    </message>
    <message>
        <source>To-Phase</source>
        <translation>Aufwärtsphase</translation>
    </message>
    <message>
        <source>Rest after To-Phase</source>
        <translation>Pause nach Aufwärtsphase</translation>
    </message>
    <message>
        <source>Repetitions per set</source>
        <translation>Wiederholungen je Satz</translation>
    </message>
    <message>
        <source>Sets</source>
        <translation>Sätze</translation>
    </message>
    <message>
        <source>Rest between sets</source>
        <translation>Satzpause</translation>
    </message>
    <message>
        <source>No set results recorded.</source>
        <translation>Keine Satzergebnisse aufgezeichnet.</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Satz</translation>
    </message>
    <message>
        <source>Planned time in s</source>
        <translation>Soll-Zeit in s</translation>
    </message>
    <message>
        <source>Real time in s</source>
        <translation>Ist-Zeit in s</translation>
    </message>
    <message>
        <source>Repetitions</source>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>vollständig</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>nicht durchgeführt</translation>
    </message>
    <message>
        <source>(no exercise)</source>
        <translation>(keine Übung)</translation>
    </message>
    <message>
        <source>Progress in %1 up to this test (%2)</source>
        <translation>Verlauf in %1 bis zu diesem Test (%2)</translation>
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
        <source>Set %1</source>
        <translation>Satz %1</translation>
    </message>
    <message>
        <source>planned</source>
        <translation>geplant</translation>
    </message>
    <message>
        <source>Real time per set in s</source>
        <translation>Ist-Zeit je Satz in s</translation>
    </message>
    <message>
        <source>TUT per test in s</source>
        <translation>TUT je Test in s</translation>
    </message>
    <message>
        <source>The print preview cannot be shown: %1</source>
        <translation>Die Druckvorschau kann nicht angezeigt werden: %1</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Tester</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>Attempt</source>
        <translation>Versuch</translation>
    </message>
    <message>
        <source>valid</source>
        <translation>gültig</translation>
    </message>
    <message>
        <source>invalid</source>
        <translation>ungültig</translation>
    </message>
    <message>
        <source>; 1 invalid test left out</source>
        <translation>; 1 ungültiger Test ausgelassen</translation>
    </message>
    <message>
        <source>; %1 invalid tests left out</source>
        <translation>; %1 ungültige Tests ausgelassen</translation>
    </message>
</context>
<context>
    <name>data::DBGrid</name>
    <message>
        <source>The change in "%1" could not be stored</source>
        <translation>Die Änderung in „%1“ konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>"%1" could not be read: %2</source>
        <translation>„%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>No record can be added to "%1"</source>
        <translation>Zu „%1“ kann kein Datensatz hinzugefügt werden</translation>
    </message>
    <message>
        <source>The record in "%1" could not be deleted</source>
        <translation>Der Datensatz in „%1“ konnte nicht gelöscht werden</translation>
    </message>
</context>
<context>
    <name>data::DBNavigator</name>
    <message>
        <source>First record</source>
        <translation>Erster Datensatz</translation>
    </message>
    <message>
        <source>Prior record</source>
        <translation>Vorheriger Datensatz</translation>
    </message>
    <message>
        <source>Next record</source>
        <translation>Nächster Datensatz</translation>
    </message>
    <message>
        <source>Last record</source>
        <translation>Letzter Datensatz</translation>
    </message>
    <message>
        <source>Insert record</source>
        <translation>Datensatz einfügen</translation>
    </message>
    <message>
        <source>Delete record</source>
        <translation>Datensatz löschen</translation>
    </message>
    <message>
        <source>Edit record</source>
        <translation>Datensatz bearbeiten</translation>
    </message>
    <message>
        <source>Post edit</source>
        <translation>Änderung speichern</translation>
    </message>
    <message>
        <source>Cancel edit</source>
        <translation>Änderung verwerfen</translation>
    </message>
    <message>
        <source>Refresh data</source>
        <translation>Daten aktualisieren</translation>
    </message>
    <message>
        <source>Datensatz löschen?</source>
        <translation>Datensatz löschen?</translation>
    </message>
</context>
<context>
    <name>data::TableModel</name>
    <message>
        <source>"%1" could not be read to its end: %2</source>
        <translation>„%1“ konnte nicht bis zum Ende gelesen werden: %2</translation>
    </message>
    <message>
        <source>record %1 was deleted at another station meanwhile; your change is still in the grid, Refresh shows the table as it is stored now</source>
        <translation>Datensatz %1 wurde inzwischen an einer anderen Station gelöscht; Ihre Änderung steht noch in der Tabelle, Aktualisieren zeigt die Tabelle, wie sie jetzt gespeichert ist</translation>
    </message>
    <message>
        <source>record %1 was changed at another station meanwhile; your change was not stored over it and is still in the grid, Refresh shows the record as it is stored now</source>
        <translation>Datensatz %1 wurde inzwischen an einer anderen Station geändert; Ihre Änderung wurde nicht darüber gespeichert und steht noch in der Tabelle, Aktualisieren zeigt den Datensatz, wie er jetzt gespeichert ist</translation>
    </message>
</context>
<context>
    <name>FieldTitles</name>
    <message>
        <source>Testnr</source>
        <translation>Test-Nr.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>ProfilNr</source>
        <translation>Profil-Nr.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Surname</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Bodyweight</source>
        <translation>Körpergewicht</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Körpergröße</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>StartRest</source>
        <translation>Startpause</translation>
    </message>
    <message>
        <source>FroPhase</source>
        <translation>Abwärtsphase</translation>
    </message>
    <message>
        <source>ToPhase</source>
        <translation>Aufwärtsphase</translation>
    </message>
    <message>
        <source>RestafterFro</source>
        <translation>Pause unten</translation>
    </message>
    <message>
        <source>RestafterTo</source>
        <translation>Pause oben</translation>
    </message>
    <message>
        <source>Rep</source>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>Sets</source>
        <translation>Sätze</translation>
    </message>
    <message>
        <source>RestSets</source>
        <translation>Satzpause</translation>
    </message>
    <message>
        <source>TUTTotal</source>
        <translation>TUT gesamt</translation>
    </message>
    <message>
        <source>TUTReal</source>
        <translation>TUT real</translation>
    </message>
    <message>
        <source>Nr</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Profil</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>RealTime%1</source>
        <translation>Ist-Zeit %1</translation>
    </message>
    <message>
        <source>RealR%1</source>
        <translation>Ist-Wdh. %1</translation>
    </message>
</context>
<context>
    <name>data::TestFilterBar</name>
    <message>
        <source>Athlete:</source>
        <translation>Athlet:</translation>
    </message>
    <message>
        <source>Exercise:</source>
        <translation>Übung:</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>All athletes</source>
        <translation>Alle Athleten</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <source>All exercises</source>
        <translation>Alle Übungen</translation>
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
        <source>%1 of %2 tests shown</source>
        <translation>%1 von %2 Tests angezeigt</translation>
    </message>
</context>
<context>
    <name>data::TestNotePanel</name>
    <message>
        <source>Note on the test</source>
        <translation>Notiz zum Test</translation>
    </message>
    <message>
        <source>Conditions, RPE, ...</source>
        <translation>Bedingungen, RPE, ...</translation>
    </message>
    <message>
        <source>Valid attempt</source>
        <translation>Gültiger Versuch</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>Notiz:</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>Note on test %1</source>
        <translation>Notiz zu Test %1</translation>
    </message>
</context>
</TS>
