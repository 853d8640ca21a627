<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Database update</name>
    <message>
        <source>Encrypting data</source>
        <translation>Daten werden verschlüsselt</translation>
    </message>
</context>
<context>
    <name>DatabaseBackup</name>
    <message>
        <source>Database backup</source>
        <translation>Datenbanksicherung</translation>
    </message>
    <message>
        <source>Database restore</source>
        <translation>Datenbankwiederherstellung</translation>
    </message>
    <message>
        <source>%1
Elapsed time: %2
%3</source>
        <translation>%1
Vergangene Zeit: %2
%3</translation>
    </message>
</context>
<context>
    <name>Initialization</name>
    <message>
        <source>The application is already running !</source>
        <translation>Die Anwendung läuft bereits!</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdater</name>
    <message>
        <source>The database is up to date.</source>
        <translation>Die Datenbank ist auf dem neuesten Stand.</translation>
    </message>
    <message>
        <source>This program can&apos;t update di current database.
Use a newer version of the program and retry.</source>
        <translation>Dieses Programm kann die aktuelle Datenbank nicht aktualisieren.
Verwenden Sie eine neuere Version des Programms und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Error during database update.</source>
        <translation>Fehler bei der Aktualisierung der Datenbank.</translation>
    </message>
    <message>
        <source>Database update performed with success.</source>
        <translation>Die Datenbank wurde erfolgreich aktualisiert.</translation>
    </message>
    <message>
        <source>The datasase was not updated.
Are you sure you want to exit ?</source>
        <translation>Die Datenbank wurde nicht aktualisiert.
Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Beendet das Programm</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Programmkonfiguration</translation>
    </message>
    <message>
        <source>Backup database</source>
        <translation>Sichert die Datenbank</translation>
    </message>
    <message>
        <source>Restore database</source>
        <translation>Stellt die Datenbank aus einer Sicherung wieder her</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Legt eine neue Datenbank an</translation>
    </message>
    <message>
        <source>Clean database backup</source>
        <translation>Löscht ältere Datenbanksicherungen</translation>
    </message>
    <message>
        <source>Show the about window</source>
        <translation>Zeigt Informationen über das Programm</translation>
    </message>
    <message>
        <source>Postgresql not installed.</source>
        <translation>PostgreSQL ist nicht installiert.</translation>
    </message>
    <message>
        <source>Database update</source>
        <translation>Datenbankaktualisierung</translation>
    </message>
    <message>
        <source>Database creation and update</source>
        <translation>Anlegen und Aktualisieren der Datenbank</translation>
    </message>
    <message>
        <source>Unable to find the backup program.
The database backup was aborted.</source>
        <translation>Das Sicherungsprogramm wurde nicht gefunden.
Die Datenbanksicherung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Unable to start the backup program.
The database backup was aborted.</source>
        <translation>Das Sicherungsprogramm konnte nicht gestartet werden.
Die Datenbanksicherung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Error during the backup process.
The database backup was aborted.</source>
        <translation>Fehler während der Sicherung.
Die Datenbanksicherung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Backup successfully executed.</source>
        <translation>Sicherung erfolgreich ausgeführt.</translation>
    </message>
    <message>
        <source>Unable to find the restore program.
The database restore was aborted.</source>
        <translation>Das Wiederherstellungsprogramm wurde nicht gefunden.
Die Datenbankwiederherstellung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Unable to start the restore program.
The database restore was aborted.</source>
        <translation>Das Wiederherstellungsprogramm konnte nicht gestartet werden.
Die Datenbankwiederherstellung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Error during the restore process.
The database restore was aborted.</source>
        <translation>Fehler während der Wiederherstellung.
Die Datenbankwiederherstellung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Restore successfully executed.</source>
        <translation>Wiederherstellung erfolgreich ausgeführt.</translation>
    </message>
    <message>
        <source>Are you sure you want to backup the database %1 ?</source>
        <translation>Möchten Sie die Datenbank %1 wirklich sichern?</translation>
    </message>
    <message>
        <source>Are you sure you want to restore the database %1 ?</source>
        <translation>Möchten Sie die Datenbank %1 wirklich wiederherstellen?</translation>
    </message>
    <message>
        <source>This process will clean the database backup.
Continue ?</source>
        <translation>Dieser Vorgang löscht ältere Datenbanksicherungen.
Fortfahren?</translation>
    </message>
    <message>
        <source>Select backup file</source>
        <translation>Sicherungsdatei auswählen</translation>
    </message>
    <message>
        <source>Backup files (*.tar);;All Files (*)</source>
        <translation>Sicherungsdateien (*.tar);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Restore database: Unable to termiante the database activity.</source>
        <translation>Datenbankwiederherstellung: Die Aktivität der Datenbank konnte nicht beendet werden.</translation>
    </message>
    <message>
        <source>Restore database: Unable to create the database.</source>
        <translation>Datenbankwiederherstellung: Die Datenbank konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The backup file is incomplete or damaged.
The database restore was aborted.</source>
        <translation>Die Sicherungsdatei ist unvollständig oder beschädigt.
Die Datenbankwiederherstellung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Clean database backup file process completed.</source>
        <translation>Bereinigung der Datenbanksicherungen abgeschlossen.</translation>
    </message>
    <message>
        <source>The backup before the update failed.
The database update was not started.</source>
        <translation>Die Sicherung vor der Aktualisierung ist fehlgeschlagen.
Die Datenbankaktualisierung wurde nicht gestartet.</translation>
    </message>
    <message>
        <source>Compare the database schema with the schema of its version</source>
        <translation>Vergleicht das Datenbankschema mit dem Schema seiner Version</translation>
    </message>
    <message>
        <source>The backup program does not fit the database server:
%1
The database backup was aborted.</source>
        <translation>Das Sicherungsprogramm passt nicht zum Datenbankserver:
%1
Die Datenbanksicherung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The restore program does not fit this backup or the database server:
%1
The database restore was aborted.</source>
        <translation>Das Wiederherstellungsprogramm passt nicht zu dieser Sicherung oder zum Datenbankserver:
%1
Die Wiederherstellung der Datenbank wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The restored data could not take the place of the database %1, which keeps its data as before.
The database restore was aborted.</source>
        <translation>Die wiederhergestellten Daten konnten die Datenbank %1 nicht ersetzen; sie behält ihre bisherigen Daten.
Die Wiederherstellung der Datenbank wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The database %1 could not be put back under its name: its data is in the database %2, the restored data in the database %3.
No data was deleted. Call the service engineer.</source>
        <translation>Die Datenbank %1 konnte nicht wieder unter ihren Namen gebracht werden: ihre Daten liegen in der Datenbank %2, die wiederhergestellten Daten in der Datenbank %3.
Es wurden keine Daten gelöscht. Rufen Sie den Servicetechniker.</translation>
    </message>
    <message>
        <source>These connections to the database will be ended:
%1</source>
        <translation>Diese Verbindungen zur Datenbank werden beendet:
%1</translation>
    </message>
    <message>
        <source>The update will be rehearsed on a copy of the database %1, made from the newest verified backup.
The database itself is not changed. This takes about as long as a restore and the update.
Continue ?</source>
        <translation>Die Aktualisierung wird an einer Kopie der Datenbank %1 erprobt, die aus der neuesten geprüften Sicherung erstellt wird.
Die Datenbank selbst wird nicht verändert. Das dauert etwa so lange wie eine Wiederherstellung und die Aktualisierung.
Fortfahren ?</translation>
    </message>
    <message>
        <source>Run the update on a copy of the database and time each step</source>
        <translation>Führt die Aktualisierung an einer Kopie der Datenbank aus und misst jeden Schritt</translation>
    </message>
    <message>
        <source>The newest backup does not match its checksum file.
No backup file was removed: make a new backup first.</source>
        <translation>Die neueste Sicherung stimmt nicht mit ihrer Prüfsummendatei überein.
Es wurde keine Sicherungsdatei entfernt: erstellen Sie zuerst eine neue Sicherung.</translation>
    </message>
    <message>
        <source>These connections to the database cannot be ended by this program:
%1
Close them and start the restore again.
The database restore was aborted.</source>
        <translation>Diese Verbindungen zur Datenbank kann dieses Programm nicht beenden:
%1
Schließen Sie sie und starten Sie die Wiederherstellung erneut.
Die Wiederherstellung der Datenbank wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdaterClass</name>
    <message>
        <source>KivDataBaseUpdater</source>
        <translation>KivDataBaseUpdater</translation>
    </message>
    <message>
        <source>Database Version</source>
        <translation>Datenbankversion</translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation>Aktuelle Version</translation>
    </message>
    <message>
        <source>Db Version</source>
        <translation>DB-Version</translation>
    </message>
    <message>
        <source>Version After Update</source>
        <translation>Version nach der Aktualisierung</translation>
    </message>
    <message>
        <source>New Db Version</source>
        <translation>Neue DB-Version</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Extras</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Beendet das Programm</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Program Configuration</source>
        <translation>&amp;Programmkonfiguration</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Programmkonfiguration</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Database Creation</source>
        <translation>Datenbank &amp;anlegen</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Legt eine neue Datenbank an</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Database &amp;Backup</source>
        <translation>Datenbank &amp;sichern</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Datenbank sichern</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Database &amp;Restore</source>
        <translation>Datenbank &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Database Restore</source>
        <translation>Datenbank wiederherstellen</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Clean Database Backup</source>
        <translation>Datenbanksicherungen &amp;bereinigen</translation>
    </message>
    <message>
        <source>Clean Database Backup</source>
        <translation>Datenbanksicherungen bereinigen</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>&amp;Force Database Version</source>
        <translation>Datenbankversion &amp;erzwingen</translation>
    </message>
    <message>
        <source>Force Database Version</source>
        <translation>Datenbankversion erzwingen</translation>
    </message>
    <message>
        <source>&amp;Start Update</source>
        <translation>Aktualisierung &amp;starten</translation>
    </message>
    <message>
        <source>Chec&amp;k Database</source>
        <translation>&amp;Datenbank prüfen</translation>
    </message>
    <message>
        <source>Check Database</source>
        <translation>Datenbank prüfen</translation>
    </message>
    <message>
        <source>Re&amp;hearse Update</source>
        <translation>Aktualisierung &amp;erproben</translation>
    </message>
    <message>
        <source>Rehearse Update</source>
        <translation>Aktualisierung erproben</translation>
    </message>
</context>
<context>
    <name>OpenDataBase</name>
    <message>
        <source>An error has occurred during the connection to the DataBase.
Would you change the parameters used for the connection ?</source>
        <translation>Beim Verbinden mit der Datenbank ist ein Fehler aufgetreten.
Möchten Sie die Verbindungsparameter ändern?</translation>
    </message>
</context>
<context>
    <name>Rehearsal</name>
    <message>
        <source>There is no verified backup to rehearse the update on.
Make a backup first.</source>
        <translation>Es gibt keine geprüfte Sicherung, an der die Aktualisierung erprobt werden kann.
Erstellen Sie zuerst eine Sicherung.</translation>
    </message>
    <message>
        <source>The copy of the database for the rehearsal could not be made.</source>
        <translation>Die Kopie der Datenbank für die Erprobung konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The copy reports version %1: there is no step to rehearse.</source>
        <translation>Die Kopie meldet die Version %1: es gibt keinen Schritt zu erproben.</translation>
    </message>
    <message>
        <source>The update from version %1 to %2 succeeded on the copy of the database.</source>
        <translation>Die Aktualisierung von Version %1 auf %2 ist an der Kopie der Datenbank gelungen.</translation>
    </message>
    <message>
        <source>The step to version %1 failed on the copy of the database.
The log names the cause.</source>
        <translation>Der Schritt zur Version %1 ist an der Kopie der Datenbank gescheitert.
Das Protokoll nennt die Ursache.</translation>
    </message>
    <message>
        <source>The update could not run on the copy of the database.
The log names the cause.</source>
        <translation>Die Aktualisierung konnte an der Kopie der Datenbank nicht ausgeführt werden.
Das Protokoll nennt die Ursache.</translation>
    </message>
</context>
<context>
    <name>UICheckDatabase</name>
    <message>
        <source>Check Database</source>
        <translation>Datenbank prüfen</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>Erwartet</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Gefunden</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>Erweiterung</translation>
    </message>
    <message>
        <source>table</source>
        <translation>Tabelle</translation>
    </message>
    <message>
        <source>column</source>
        <translation>Spalte</translation>
    </message>
    <message>
        <source>constraint</source>
        <translation>Constraint</translation>
    </message>
    <message>
        <source>index</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>trigger</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>sequence</source>
        <translation>Sequenz</translation>
    </message>
    <message>
        <source>view</source>
        <translation>Sicht</translation>
    </message>
    <message>
        <source>materialized view</source>
        <translation>materialisierte Sicht</translation>
    </message>
    <message>
        <source>function</source>
        <translation>Funktion</translation>
    </message>
    <message>
        <source>procedure</source>
        <translation>Prozedur</translation>
    </message>
    <message>
        <source>aggregate</source>
        <translation>Aggregatfunktion</translation>
    </message>
    <message>
        <source>The database differs from the schema expected at version %1.</source>
        <translation>Die Datenbank weicht vom Schema ab, das für Version %1 erwartet wird.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1. The database also has objects of its own, which are not counted as drift.</source>
        <translation>Keine Abweichung vom Schema, das für Version %1 erwartet wird. Die Datenbank hat zusätzlich eigene Objekte, die nicht als Abweichung gelten.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1.</source>
        <translation>Keine Abweichung vom für die Version %1 erwarteten Schema.</translation>
    </message>
    <message>
        <source>The database reports no version: no comparison is possible.</source>
        <translation>Die Datenbank meldet keine Version: kein Vergleich möglich.</translation>
    </message>
    <message>
        <source>The database reports version %1, for which no expected schema is known: no comparison is possible.</source>
        <translation>Die Datenbank meldet Version %1, für die kein erwartetes Schema bekannt ist: kein Vergleich möglich.</translation>
    </message>
    <message>
        <source>Unable to check the database: %1</source>
        <translation>Die Datenbank kann nicht geprüft werden: %1</translation>
    </message>
    <message>
        <source>Missing (%1)</source>
        <translation>Fehlend (%1)</translation>
    </message>
    <message>
        <source>Changed (%1)</source>
        <translation>Geändert (%1)</translation>
    </message>
    <message>
        <source>Extra, not counted as drift (%1)</source>
        <translation>Zusätzlich, nicht als Abweichung gezählt (%1)</translation>
    </message>
</context>
<context>
    <name>UICnfPageDataBase</name>
    <message>
        <source>Connection String</source>
        <translation>Verbindungszeichenfolge</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Datenbanknamen bearbeiten</translation>
    </message>
    <message>
        <source>Edit the port number</source>
        <translation>Portnummer bearbeiten</translation>
    </message>
    <message>
        <source>Timeout (seconds)</source>
        <translation>Zeitlimit (Sekunden)</translation>
    </message>
    <message>
        <source>The field Server must be correctly filled.</source>
        <translation>Das Feld Server muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>The field Database must be correctly filled.</source>
        <translation>Das Feld Datenbank muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>The field Port Number must be correctly filled.</source>
        <translation>Das Feld Portnummer muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>The field Connection Timeout must be correctly filled.</source>
        <translation>Das Feld Verbindungszeitlimit muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>Test successfully executed.</source>
        <translation>Test erfolgreich ausgeführt.</translation>
    </message>
    <message>
        <source>Unable to establish a database connection.</source>
        <translation>Es konnte keine Verbindung zur Datenbank hergestellt werden.</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Server</translation>
    </message>
    <message>
        <source>&amp;Database</source>
        <translation>&amp;Datenbank</translation>
    </message>
    <message>
        <source>&amp;Port Number</source>
        <translation>&amp;Portnummer</translation>
    </message>
    <message>
        <source>Connection &amp;Test</source>
        <translation>Verbindung &amp;testen</translation>
    </message>
    <message>
        <source>Connection T&amp;imeout</source>
        <translation>Verbindungs&amp;zeitlimit</translation>
    </message>
</context>
<context>
    <name>UICnfPageLanguage</name>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
</context>
<context>
    <name>UICnfPageLogFile</name>
    <message>
        <source>Log File Parameter</source>
        <translation>Protokolldatei-Parameter</translation>
    </message>
    <message>
        <source>The field File Dimension must be correctly filled.</source>
        <translation>Das Feld Dateigröße muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>&amp;File Dimension (in MB)</source>
        <translation>&amp;Dateigröße (in MB)</translation>
    </message>
    <message>
        <source>&amp;Database Log</source>
        <translation>Daten&amp;bank-Protokoll</translation>
    </message>
    <message>
        <source>De&amp;vice Log</source>
        <translation>&amp;Geräte-Protokoll</translation>
    </message>
</context>
<context>
    <name>UICnfPageVarie</name>
    <message>
        <source>File System</source>
        <translation>Dateisystem</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Prozess</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Datenbanksicherung</translation>
    </message>
    <message>
        <source>1 Month</source>
        <translation>1 Monat</translation>
    </message>
    <message>
        <source>3 Months</source>
        <translation>3 Monate</translation>
    </message>
    <message>
        <source>6 Months</source>
        <translation>6 Monate</translation>
    </message>
    <message>
        <source>9 Months</source>
        <translation>9 Monate</translation>
    </message>
    <message>
        <source>1 Year</source>
        <translation>1 Jahr</translation>
    </message>
    <message>
        <source>2 Years</source>
        <translation>2 Jahre</translation>
    </message>
    <message>
        <source>The field Timeout must be correctly filled.</source>
        <translation>Das Feld Zeitlimit muss korrekt ausgefüllt werden.</translation>
    </message>
    <message>
        <source>Database &amp;Server Path</source>
        <translation>Pfad des Datenbank&amp;servers</translation>
    </message>
    <message>
        <source>&amp;Timeout (seconds)</source>
        <translation>&amp;Zeitlimit (Sekunden)</translation>
    </message>
    <message>
        <source>Database &amp;backup validity days</source>
        <translation>&amp;Aufbewahrung der Datenbanksicherungen</translation>
    </message>
    <message>
        <source>Back up before &amp;update</source>
        <translation>Vor der A&amp;ktualisierung sichern</translation>
    </message>
</context>
<context>
    <name>UICnfProgram</name>
    <message>
        <source>Program Configuration</source>
        <translation>Programmkonfiguration</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Datenbank</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>Protokolldatei</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Verschiedenes</translation>
    </message>
    <message>
        <source>The data has been modified. Continue anyway ?</source>
        <translation>Die Daten wurden geändert. Trotzdem fortfahren?</translation>
    </message>
    <message>
        <source>Unable to save the configuration.</source>
        <translation>Die Konfiguration kann nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>UICreateDb</name>
    <message>
        <source>Create a new database</source>
        <translation>Neue Datenbank anlegen</translation>
    </message>
    <message>
        <source>New Database</source>
        <translation>Neue Datenbank</translation>
    </message>
    <message>
        <source>Database &amp;Name</source>
        <translation>Datenbank&amp;name</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Datenbanknamen bearbeiten</translation>
    </message>
    <message>
        <source>You must insert the database name correctly.</source>
        <translation>Bitte geben Sie einen gültigen Datenbanknamen ein.</translation>
    </message>
    <message>
        <source>Are you sure you want to create a new database with name %1 ?</source>
        <translation>Möchten Sie wirklich eine neue Datenbank mit dem Namen %1 anlegen?</translation>
    </message>
    <message>
        <source>The database %1 was created with success.</source>
        <translation>Die Datenbank %1 wurde erfolgreich angelegt.</translation>
    </message>
    <message>
        <source>Unable to create the database %1.</source>
        <translation>Die Datenbank %1 konnte nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>UIForceDbVersion</name>
    <message>
        <source>Force Database Version</source>
        <translation>Datenbankversion erzwingen</translation>
    </message>
    <message>
        <source>New Database Version</source>
        <translation>Neue Datenbankversion</translation>
    </message>
    <message>
        <source>Database &amp;Version</source>
        <translation>Datenbank&amp;version</translation>
    </message>
    <message>
        <source>Are you sure you want to force the database to version %1 ?</source>
        <translation>Möchten Sie die Datenbank wirklich auf Version %1 setzen?</translation>
    </message>
</context>
<context>
    <name>UIRehearsal</name>
    <message>
        <source>Rehearse update</source>
        <translation>Aktualisierung erproben</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Copy made from the backup %1</source>
        <translation>Kopie aus der Sicherung %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Gelungen</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Gescheitert</translation>
    </message>
    <message>
        <source>The schema of the copy matches its version.</source>
        <translation>Das Schema der Kopie entspricht ihrer Version.</translation>
    </message>
    <message>
        <source>The schema of the copy differs from its version (differences: %1). Tools &gt; Check Database lists them.</source>
        <translation>Das Schema der Kopie weicht von seiner Version ab (Unterschiede: %1). Werkzeuge &gt; Datenbank prüfen listet sie auf.</translation>
    </message>
</context>
</TS>
