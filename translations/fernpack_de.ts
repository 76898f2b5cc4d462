<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TAboutBox</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TAddForm</name>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Select All Files</source>
        <translation>Alle Dateien wählen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Save DirNames</source>
        <translation>Ordnernamen speichern</translation>
    </message>
    <message>
        <source>Recurse Dirs</source>
        <translation>Unterordner</translation>
    </message>
    <message>
        <source>Encrypt Files</source>
        <translation>Dateien verschlüsseln</translation>
    </message>
    <message>
        <source>Add &amp;Dir  ==&gt;</source>
        <translation>&amp;Ordner hinzu  ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Add File ==&gt;</source>
        <translation>&amp;Datei hinzu ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Remove &lt;==</source>
        <translation>&amp;Entfernen &lt;==</translation>
    </message>
    <message>
        <source>DO IT &amp;NOW</source>
        <translation>JETZT &amp;AUSFÜHREN</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abb&amp;rechen</translation>
    </message>
    <message>
        <source>Files to Add:</source>
        <translation>Neue Dateien:</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Sortieren</translation>
    </message>
</context>
<context>
    <name>TExtract</name>
    <message>
        <source>Select Extract Directory</source>
        <translation>Zielordner zum Entpacken wählen</translation>
    </message>
    <message>
        <source>Expand ZIP Dirs</source>
        <translation>ZIP-Ordner anlegen</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>OverWrite Existing</source>
        <translation>Vorhandene überschreiben</translation>
    </message>
    <message>
        <source>Files to Extract</source>
        <translation>Zu entpackende Dateien</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>Selected Files</source>
        <translation>Gewählte Dateien</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>TMainform</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>&lt;none&gt;</source>
        <translation>&lt;keines&gt;</translation>
    </message>
    <message>
        <source>Open Existing ZIP File</source>
        <translation>Vorhandene ZIP-Datei öffnen</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe</source>
        <translation>ZIP-Dateien (*.ZIP, *.EXE)|*.zip;*.exe</translation>
    </message>
    <message>
        <source>Create New ZIP File</source>
        <translation>Neue ZIP-Datei anlegen</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP)|*.zip</source>
        <translation>ZIP-Dateien (*.ZIP)|*.zip</translation>
    </message>
    <message>
        <source>Error: you must create a .ZIP file, then convert to .EXE</source>
        <translation>Fehler: Legen Sie eine .ZIP-Datei an und konvertieren Sie sie dann in .EXE</translation>
    </message>
    <message>
        <source>Error: your new archive must end in .ZIP</source>
        <translation>Fehler: Ihr neues Archiv muss auf .ZIP enden</translation>
    </message>
    <message>
        <source>Overwrite Existing File: %1?</source>
        <translation>Vorhandene Datei überschreiben: %1?</translation>
    </message>
    <message>
        <source>Zip file not found: %1</source>
        <translation>ZIP-Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete: %1?</source>
        <translation>Wirklich löschen: %1?</translation>
    </message>
    <message>
        <source>Error - could not delete: %1</source>
        <translation>Fehler - konnte nicht gelöscht werden: %1</translation>
    </message>
    <message>
        <source>Convert to ZIP</source>
        <translation>In ZIP konvertieren</translation>
    </message>
    <message>
        <source>Convert to EXE</source>
        <translation>In EXE konvertieren</translation>
    </message>
    <message>
        <source>Error - open a zip file first</source>
        <translation>Fehler - öffnen Sie zuerst eine ZIP-Datei</translation>
    </message>
    <message>
        <source>No files selected</source>
        <translation>Keine Dateien gewählt</translation>
    </message>
    <message>
        <source>No files to add</source>
        <translation>Keine Dateien zum Hinzufügen</translation>
    </message>
    <message>
        <source>Beginning Add to %1</source>
        <translation>Hinzufügen zu %1 beginnt</translation>
    </message>
    <message>
        <source>Error in Add; Fatal DLL Exception in mainunit</source>
        <translation>Fehler beim Hinzufügen; schwere DLL-Ausnahme in mainunit</translation>
    </message>
    <message>
        <source>Error: file not found: %1</source>
        <translation>Fehler: Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Error - no files to extract</source>
        <translation>Fehler - keine Dateien zum Entpacken</translation>
    </message>
    <message>
        <source>Error - no files selected</source>
        <translation>Fehler - keine Dateien gewählt</translation>
    </message>
    <message>
        <source>Beginning Extract from %1</source>
        <translation>Entpacken aus %1 beginnt</translation>
    </message>
    <message>
        <source>Error in Extract; Fatal DLL Exception in mainunit</source>
        <translation>Fehler beim Entpacken; schwere DLL-Ausnahme in mainunit</translation>
    </message>
    <message>
        <source>Error - no files to delete</source>
        <translation>Fehler - keine Dateien zum Löschen</translation>
    </message>
    <message>
        <source>Delete selected files from: %1?</source>
        <translation>Gewählte Dateien löschen aus: %1?</translation>
    </message>
    <message>
        <source>Beginning delete from %1</source>
        <translation>Löschen aus %1 beginnt</translation>
    </message>
    <message>
        <source>Fatal error trying to delete</source>
        <translation>Schwerer Fehler beim Löschen</translation>
    </message>
    <message>
        <source>Error - nothing to Test</source>
        <translation>Fehler - nichts zu testen</translation>
    </message>
    <message>
        <source>Beginning test of %1</source>
        <translation>Test von %1 beginnt</translation>
    </message>
    <message>
        <source>Error: no files in archive</source>
        <translation>Fehler: keine Dateien im Archiv</translation>
    </message>
    <message>
        <source>Filename is now: %1</source>
        <translation>Der Dateiname ist jetzt: %1</translation>
    </message>
    <message>
        <source>Error occured in making .ZIP file</source>
        <translation>Fehler beim Erstellen der .ZIP-Datei</translation>
    </message>
    <message>
        <source>Error occured in making .EXE file</source>
        <translation>Fehler beim Erstellen der .EXE-Datei</translation>
    </message>
    <message numerus="yes">
        <source>%n files were added</source>
        <translation>
            <numerusform>%n Datei wurde hinzugefügt</numerusform>
            <numerusform>%n Dateien wurden hinzugefügt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were extracted</source>
        <translation>
            <numerusform>%n Datei wurde entpackt</numerusform>
            <numerusform>%n Dateien wurden entpackt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were deleted</source>
        <translation>
            <numerusform>%n Datei wurde gelöscht</numerusform>
            <numerusform>%n Dateien wurden gelöscht</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>All %n files tested OK</source>
        <translation>
            <numerusform>Die %n Datei ist fehlerfrei</numerusform>
            <numerusform>Alle %n Dateien sind fehlerfrei</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ERROR: %n files tested BAD, or skipped!</source>
        <translation>
            <numerusform>FEHLER: %n Datei ist FEHLERHAFT oder wurde übersprungen!</numerusform>
            <numerusform>FEHLER: %n Dateien sind FEHLERHAFT oder wurden übersprungen!</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name</source>
        <translation>
            <numerusform>%n davon ersetzte einen Eintrag gleichen Namens</numerusform>
            <numerusform>%n davon ersetzten einen Eintrag gleichen Namens</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name: choose Expand ZIP Dirs to keep folders</source>
        <translation>
            <numerusform>%n davon ersetzte einen Eintrag gleichen Namens: wählen Sie ZIP-Ordner anlegen, um die Ordner zu behalten</numerusform>
            <numerusform>%n davon ersetzten einen Eintrag gleichen Namens: wählen Sie ZIP-Ordner anlegen, um die Ordner zu behalten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were skipped: they already exist (choose OverWrite Existing to replace them)</source>
        <translation>
            <numerusform>%n Datei wurde übersprungen: sie ist schon vorhanden (wählen Sie Vorhandene überschreiben, um sie zu ersetzen)</numerusform>
            <numerusform>%n Dateien wurden übersprungen: sie sind schon vorhanden (wählen Sie Vorhandene überschreiben, um sie zu ersetzen)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were extracted before the stop</source>
        <translation>
            <numerusform>Abgebrochen: %n Datei wurde vor dem Abbruch entpackt</numerusform>
            <numerusform>Abgebrochen: %n Dateien wurden vor dem Abbruch entpackt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were tested before the stop</source>
        <translation>
            <numerusform>Abgebrochen: %n Datei wurde vor dem Abbruch getestet</numerusform>
            <numerusform>Abgebrochen: %n Dateien wurden vor dem Abbruch getestet</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled: nothing was added; the archive was left as it was</source>
        <translation>Abgebrochen: nichts wurde hinzugefügt; das Archiv blieb, wie es war</translation>
    </message>
    <message>
        <source>Cancelled: nothing was deleted; the archive was left as it was</source>
        <translation>Abgebrochen: nichts wurde gelöscht; das Archiv blieb, wie es war</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Password for the files to add:</source>
        <translation>Passwort für die hinzuzufügenden Dateien:</translation>
    </message>
    <message>
        <source>The same password again:</source>
        <translation>Dasselbe Passwort noch einmal:</translation>
    </message>
    <message>
        <source>Password for the encrypted files in %1:</source>
        <translation>Passwort für die verschlüsselten Dateien in %1:</translation>
    </message>
    <message>
        <source>The password did not open %1. Another password for the encrypted files in %2:</source>
        <translation>Das Passwort öffnete %1 nicht. Ein anderes Passwort für die verschlüsselten Dateien in %2:</translation>
    </message>
    <message>
        <source>Error - the password is empty</source>
        <translation>Fehler - das Passwort ist leer</translation>
    </message>
    <message>
        <source>Error - the two passwords differ</source>
        <translation>Fehler - die beiden Passwörter unterscheiden sich</translation>
    </message>
    <message>
        <source>Error - the password is longer than 80 bytes</source>
        <translation>Fehler - das Passwort ist länger als 80 Bytes</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Extract…</source>
        <translation>&amp;Entpacken…</translation>
    </message>
    <message>
        <source>&amp;Delete…</source>
        <translation>&amp;Löschen…</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Testen</translation>
    </message>
    <message>
        <source>&amp;Copy Name</source>
        <translation>Namen &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Copy Names</source>
        <translation>Namen &amp;kopieren</translation>
    </message>
    <message>
        <source>P&amp;roperties</source>
        <translation>Ei&amp;genschaften</translation>
    </message>
    <message>
        <source>Open %1, or add it to %2?</source>
        <translation>%1 öffnen oder zu %2 hinzufügen?</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Error - could not open: %1</source>
        <translation>Fehler - konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>%1 was changed. Update it in %2?</source>
        <translation>%1 wurde geändert. In %2 aktualisieren?</translation>
    </message>
    <message>
        <source>&amp;New Zip</source>
        <translation>&amp;Neues Zip</translation>
    </message>
    <message>
        <source>&amp;Open Zip</source>
        <translation>Zip ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Dest&amp;roy Zip</source>
        <translation>Zip &amp;vernichten</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Been&amp;den</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>&amp;Add  to Zip</source>
        <translation>Zum Zip &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Extract from Zip</source>
        <translation>&amp;Entpacken aus Zip</translation>
    </message>
    <message>
        <source>&amp;Convert to EXE</source>
        <translation>In EXE &amp;konvertieren</translation>
    </message>
    <message>
        <source>&amp;Test Zip</source>
        <translation>Zip &amp;testen</translation>
    </message>
    <message>
        <source>&amp;Delete From Zip</source>
        <translation>Aus Zip &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Show Msgs</source>
        <translation>&amp;Meldungen</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <source>Zipfile:</source>
        <translation>Archiv:</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Compr Size</source>
        <translation>Gepackt</translation>
    </message>
    <message>
        <source>Uncmpr Size</source>
        <translation>Entpackt</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Datum/Zeit</translation>
    </message>
</context>
<context>
    <name>TMakeSFX</name>
    <message>
        <source>Make Self Extracting Archive</source>
        <translation>Selbstentpackendes Programm erstellen</translation>
    </message>
    <message>
        <source>Default Overwrite Action</source>
        <translation>Vorgabe beim Überschreiben</translation>
    </message>
    <message>
        <source>&amp;Ask User</source>
        <translation>Benutzer &amp;fragen</translation>
    </message>
    <message>
        <source>Al&amp;ways Overwrite</source>
        <translation>&amp;Immer überschreiben</translation>
    </message>
    <message>
        <source>S&amp;kip extraction</source>
        <translation>Entpacken ü&amp;berspringen</translation>
    </message>
    <message>
        <source>Allow User to avoid running the command &amp;line</source>
        <translation>Benutzer darf das Ausführen der Befehls&amp;zeile vermeiden</translation>
    </message>
    <message>
        <source>Allow User to modify the &amp;file list to be extracted</source>
        <translation>Benutzer darf die &amp;Liste der zu entpackenden Dateien ändern</translation>
    </message>
    <message>
        <source>&amp;Hide the Overwrite Action group box at run time</source>
        <translation>Auswahl zum Überschreiben beim Ausführen &amp;verbergen</translation>
    </message>
    <message>
        <source>&amp;Do It Now</source>
        <translation>&amp;Jetzt ausführen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abb&amp;rechen</translation>
    </message>
    <message>
        <source>Ca&amp;ption of the Self Extracting Archive Program</source>
        <translation>&amp;Titel des selbstentpackenden Programms</translation>
    </message>
    <message>
        <source>Default Extract Di&amp;rectory on User&apos;s Computer  (if &apos;&gt;&lt;&apos; then the temporary directory will be used)</source>
        <translation>&amp;Standard-Zielordner auf dem Rechner des Benutzers  (bei &apos;&gt;&lt;&apos; wird der temporäre Ordner verwendet)</translation>
    </message>
    <message>
        <source>Special Command Line Symbols:</source>
        <translation>Besondere Zeichen der Befehlszeile:</translation>
    </message>
    <message>
        <source>A vertical bar &apos;|&apos; separates the program name from the argument list</source>
        <translation>Ein senkrechter Strich &apos;|&apos; trennt den Programmnamen von den Argumenten</translation>
    </message>
    <message>
        <source>Two Arrows &apos;&gt;&lt;&apos; will be replaced by the actual extract directory</source>
        <translation>Zwei Pfeile &apos;&gt;&lt;&apos; werden durch den tatsächlichen Zielordner ersetzt</translation>
    </message>
    <message>
        <source>The following example runs notepad to display readme.txt in extract dir:</source>
        <translation>Dieses Beispiel zeigt readme.txt aus dem Zielordner mit notepad an:</translation>
    </message>
    <message>
        <source>Command Line to &amp;Exec After Extraction</source>
        <translation>Nach dem Entpacken &amp;auszuführende Befehlszeile</translation>
    </message>
</context>
<context>
    <name>TMessageBox</name>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TMsgform</name>
    <message>
        <source>Memo Full - Updating Stopped, but your operation is continuing...</source>
        <translation>Meldungsliste voll - keine neuen Zeilen mehr, aber Ihr Vorgang läuft weiter...</translation>
    </message>
    <message>
        <source>Error Msg from DLL: %1</source>
        <translation>Fehlermeldung der DLL: %1</translation>
    </message>
    <message>
        <source>Zip Messages</source>
        <translation>Zip-Meldungen</translation>
    </message>
    <message>
        <source>Progress of All Files</source>
        <translation>Gesamtfortschritt</translation>
    </message>
    <message>
        <source>&amp;Cancel Operation</source>
        <translation>Vorgang &amp;abbrechen</translation>
    </message>
    <message>
        <source>&amp;Dismiss this Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message>
        <source>File being manipulated</source>
        <translation>Datei in Arbeit</translation>
    </message>
</context>
<context>
    <name>TOpenDialog</name>
    <message>
        <source>Recent:</source>
        <translation>Zuletzt:</translation>
    </message>
</context>
<context>
    <name>TPropertiesBox</name>
    <message>
        <source>Archive Properties</source>
        <translation>Eigenschaften des Archivs</translation>
    </message>
    <message>
        <source>Archive:</source>
        <translation>Archiv:</translation>
    </message>
    <message>
        <source>Size on disk:</source>
        <translation>Größe auf der Platte:</translation>
    </message>
    <message>
        <source>Members:</source>
        <translation>Einträge:</translation>
    </message>
    <message>
        <source>Packed:</source>
        <translation>Gepackt:</translation>
    </message>
    <message>
        <source>Unpacked:</source>
        <translation>Entpackt:</translation>
    </message>
    <message>
        <source>Ratio:</source>
        <translation>Verhältnis:</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Encrypted:</source>
        <translation>Verschlüsselt:</translation>
    </message>
    <message>
        <source>Self-extractor stub:</source>
        <translation>Vorspann des selbstentpackenden Programms:</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>Kommentar:</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>not on disk</source>
        <translation>nicht auf der Platte</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>, with %1</source>
        <translation>, mit %1</translation>
    </message>
    <message>
        <source> and %1</source>
        <translation> und %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
