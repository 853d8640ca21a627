<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Database update</name>
    <message>
        <source>Encrypting data</source>
        <translation>Cifrando los datos</translation>
    </message>
</context>
<context>
    <name>DatabaseBackup</name>
    <message>
        <source>Database backup</source>
        <translation>Copia de seguridad de la base de datos</translation>
    </message>
    <message>
        <source>Database restore</source>
        <translation>Restauración de la base de datos</translation>
    </message>
    <message>
        <source>%1
Elapsed time: %2
%3</source>
        <translation>%1
Tiempo transcurrido: %2
%3</translation>
    </message>
</context>
<context>
    <name>Initialization</name>
    <message>
        <source>The application is already running !</source>
        <translation>¡La aplicación ya se está ejecutando!</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdater</name>
    <message>
        <source>The database is up to date.</source>
        <translation>La base de datos está actualizada.</translation>
    </message>
    <message>
        <source>This program can&apos;t update di current database.
Use a newer version of the program and retry.</source>
        <translation>Este programa no puede actualizar la base de datos actual.
Utilice una versión más reciente del programa y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>Error during database update.</source>
        <translation>Error durante la actualización de la base de datos.</translation>
    </message>
    <message>
        <source>Database update performed with success.</source>
        <translation>La base de datos se ha actualizado correctamente.</translation>
    </message>
    <message>
        <source>The datasase was not updated.
Are you sure you want to exit ?</source>
        <translation>La base de datos no se ha actualizado.
¿Seguro que desea salir del programa?</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Cierra el programa</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configuración del programa</translation>
    </message>
    <message>
        <source>Backup database</source>
        <translation>Crea una copia de seguridad de la base de datos</translation>
    </message>
    <message>
        <source>Restore database</source>
        <translation>Restaura la base de datos desde una copia de seguridad</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crea una nueva base de datos</translation>
    </message>
    <message>
        <source>Clean database backup</source>
        <translation>Elimina las copias de seguridad antiguas de la base de datos</translation>
    </message>
    <message>
        <source>Show the about window</source>
        <translation>Muestra la información del programa</translation>
    </message>
    <message>
        <source>Postgresql not installed.</source>
        <translation>PostgreSQL no está instalado.</translation>
    </message>
    <message>
        <source>Database update</source>
        <translation>Actualización de la base de datos</translation>
    </message>
    <message>
        <source>Database creation and update</source>
        <translation>Creación y actualización de la base de datos</translation>
    </message>
    <message>
        <source>Unable to find the backup program.
The database backup was aborted.</source>
        <translation>No se encuentra el programa de copia de seguridad.
Se ha cancelado la copia de seguridad de la base de datos.</translation>
    </message>
    <message>
        <source>Unable to start the backup program.
The database backup was aborted.</source>
        <translation>No se puede iniciar el programa de copia de seguridad.
Se ha cancelado la copia de seguridad de la base de datos.</translation>
    </message>
    <message>
        <source>Error during the backup process.
The database backup was aborted.</source>
        <translation>Error durante la copia de seguridad.
Se ha cancelado la copia de seguridad de la base de datos.</translation>
    </message>
    <message>
        <source>Backup successfully executed.</source>
        <translation>Copia de seguridad realizada correctamente.</translation>
    </message>
    <message>
        <source>Unable to find the restore program.
The database restore was aborted.</source>
        <translation>No se encuentra el programa de restauración.
Se ha cancelado la restauración de la base de datos.</translation>
    </message>
    <message>
        <source>Unable to start the restore program.
The database restore was aborted.</source>
        <translation>No se puede iniciar el programa de restauración.
Se ha cancelado la restauración de la base de datos.</translation>
    </message>
    <message>
        <source>Error during the restore process.
The database restore was aborted.</source>
        <translation>Error durante la restauración.
Se ha cancelado la restauración de la base de datos.</translation>
    </message>
    <message>
        <source>Restore successfully executed.</source>
        <translation>Restauración realizada correctamente.</translation>
    </message>
    <message>
        <source>Are you sure you want to backup the database %1 ?</source>
        <translation>¿Seguro que desea crear una copia de seguridad de la base de datos %1?</translation>
    </message>
    <message>
        <source>Are you sure you want to restore the database %1 ?</source>
        <translation>¿Seguro que desea restaurar la base de datos %1?</translation>
    </message>
    <message>
        <source>This process will clean the database backup.
Continue ?</source>
        <translation>Este proceso eliminará las copias de seguridad antiguas de la base de datos.
¿Continuar?</translation>
    </message>
    <message>
        <source>Select backup file</source>
        <translation>Seleccionar archivo de copia de seguridad</translation>
    </message>
    <message>
        <source>Backup files (*.tar);;All Files (*)</source>
        <translation>Archivos de copia de seguridad (*.tar);;Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Restore database: Unable to termiante the database activity.</source>
        <translation>Restauración de la base de datos: no se puede terminar la actividad de la base de datos.</translation>
    </message>
    <message>
        <source>Restore database: Unable to create the database.</source>
        <translation>Restauración de la base de datos: no se puede crear la base de datos.</translation>
    </message>
    <message>
        <source>The backup file is incomplete or damaged.
The database restore was aborted.</source>
        <translation>El archivo de copia de seguridad está incompleto o dañado.
Se ha cancelado la restauración de la base de datos.</translation>
    </message>
    <message>
        <source>Clean database backup file process completed.</source>
        <translation>Limpieza de los archivos de copia de seguridad de la base de datos finalizada.</translation>
    </message>
    <message>
        <source>The backup before the update failed.
The database update was not started.</source>
        <translation>La copia de seguridad previa a la actualización ha fallado.
No se ha iniciado la actualización de la base de datos.</translation>
    </message>
    <message>
        <source>Compare the database schema with the schema of its version</source>
        <translation>Compara el esquema de la base de datos con el esquema de su versión</translation>
    </message>
    <message>
        <source>The backup program does not fit the database server:
%1
The database backup was aborted.</source>
        <translation>El programa de copia de seguridad no es adecuado para el servidor de la base de datos:
%1
La copia de seguridad de la base de datos se ha interrumpido.</translation>
    </message>
    <message>
        <source>The restore program does not fit this backup or the database server:
%1
The database restore was aborted.</source>
        <translation>El programa de restauración no es adecuado para esta copia de seguridad o para el servidor de la base de datos:
%1
La restauración de la base de datos se ha interrumpido.</translation>
    </message>
    <message>
        <source>The restored data could not take the place of the database %1, which keeps its data as before.
The database restore was aborted.</source>
        <translation>Los datos restaurados no han podido sustituir la base de datos %1, que conserva sus datos como antes.
La restauración de la base de datos se ha interrumpido.</translation>
    </message>
    <message>
        <source>The database %1 could not be put back under its name: its data is in the database %2, the restored data in the database %3.
No data was deleted. Call the service engineer.</source>
        <translation>No se ha podido devolver su nombre a la base de datos %1: sus datos están en la base de datos %2 y los datos restaurados en la base de datos %3.
No se ha borrado ningún dato. Llame al técnico de servicio.</translation>
    </message>
    <message>
        <source>These connections to the database will be ended:
%1</source>
        <translation>Se cerrarán estas conexiones a la base de datos:
%1</translation>
    </message>
    <message>
        <source>The update will be rehearsed on a copy of the database %1, made from the newest verified backup.
The database itself is not changed. This takes about as long as a restore and the update.
Continue ?</source>
        <translation>La actualización se ensayará en una copia de la base de datos %1, hecha a partir de la copia de seguridad verificada más reciente.
La base de datos en sí no se modifica. Tarda aproximadamente lo mismo que una restauración y la actualización.
¿Continuar ?</translation>
    </message>
    <message>
        <source>Run the update on a copy of the database and time each step</source>
        <translation>Ejecuta la actualización en una copia de la base de datos y mide cada paso</translation>
    </message>
    <message>
        <source>The newest backup does not match its checksum file.
No backup file was removed: make a new backup first.</source>
        <translation>La copia de seguridad más reciente no coincide con su archivo de suma de comprobación.
No se ha eliminado ningún archivo de copia de seguridad: haga primero una nueva copia de seguridad.</translation>
    </message>
    <message>
        <source>These connections to the database cannot be ended by this program:
%1
Close them and start the restore again.
The database restore was aborted.</source>
        <translation>Este programa no puede cerrar estas conexiones a la base de datos:
%1
Ciérrelas e inicie de nuevo la restauración.
Se ha interrumpido la restauración de la base de datos.</translation>
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
        <translation>Versión de la base de datos</translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation>Versión actual</translation>
    </message>
    <message>
        <source>Db Version</source>
        <translation>Versión BD</translation>
    </message>
    <message>
        <source>Version After Update</source>
        <translation>Versión tras la actualización</translation>
    </message>
    <message>
        <source>New Db Version</source>
        <translation>Nueva versión BD</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Herramientas</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Cierra el programa</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Program Configuration</source>
        <translation>&amp;Configuración del programa</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configuración del programa</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Database Creation</source>
        <translation>Creación de la base de &amp;datos</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crea una nueva base de datos</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Database &amp;Backup</source>
        <translation>Copia de &amp;seguridad de la base de datos</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Copia de seguridad de la base de datos</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Database &amp;Restore</source>
        <translation>&amp;Restauración de la base de datos</translation>
    </message>
    <message>
        <source>Database Restore</source>
        <translation>Restauración de la base de datos</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Clean Database Backup</source>
        <translation>&amp;Limpieza de copias de seguridad</translation>
    </message>
    <message>
        <source>Clean Database Backup</source>
        <translation>Limpieza de copias de seguridad de la base de datos</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>&amp;Force Database Version</source>
        <translation>&amp;Forzar versión de la base de datos</translation>
    </message>
    <message>
        <source>Force Database Version</source>
        <translation>Forzar versión de la base de datos</translation>
    </message>
    <message>
        <source>&amp;Start Update</source>
        <translation>&amp;Iniciar actualización</translation>
    </message>
    <message>
        <source>Chec&amp;k Database</source>
        <translation>&amp;Verificación de la base de datos</translation>
    </message>
    <message>
        <source>Check Database</source>
        <translation>Verificación de la base de datos</translation>
    </message>
    <message>
        <source>Re&amp;hearse Update</source>
        <translation>&amp;Ensayar actualización</translation>
    </message>
    <message>
        <source>Rehearse Update</source>
        <translation>Ensayar actualización</translation>
    </message>
</context>
<context>
    <name>OpenDataBase</name>
    <message>
        <source>An error has occurred during the connection to the DataBase.
Would you change the parameters used for the connection ?</source>
        <translation>Se ha producido un error al conectar con la base de datos.
¿Desea cambiar los parámetros de la conexión?</translation>
    </message>
</context>
<context>
    <name>Rehearsal</name>
    <message>
        <source>There is no verified backup to rehearse the update on.
Make a backup first.</source>
        <translation>No hay ninguna copia de seguridad verificada en la que ensayar la actualización.
Haga primero una copia de seguridad.</translation>
    </message>
    <message>
        <source>The copy of the database for the rehearsal could not be made.</source>
        <translation>No se ha podido hacer la copia de la base de datos para el ensayo.</translation>
    </message>
    <message>
        <source>The copy reports version %1: there is no step to rehearse.</source>
        <translation>La copia indica la versión %1: no hay ningún paso que ensayar.</translation>
    </message>
    <message>
        <source>The update from version %1 to %2 succeeded on the copy of the database.</source>
        <translation>La actualización de la versión %1 a la %2 ha funcionado en la copia de la base de datos.</translation>
    </message>
    <message>
        <source>The step to version %1 failed on the copy of the database.
The log names the cause.</source>
        <translation>El paso a la versión %1 ha fallado en la copia de la base de datos.
El registro indica la causa.</translation>
    </message>
    <message>
        <source>The update could not run on the copy of the database.
The log names the cause.</source>
        <translation>No se ha podido ejecutar la actualización en la copia de la base de datos.
El registro indica la causa.</translation>
    </message>
</context>
<context>
    <name>UICheckDatabase</name>
    <message>
        <source>Check Database</source>
        <translation>Verificación de la base de datos</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objeto</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>Esperado</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Encontrado</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>extensión</translation>
    </message>
    <message>
        <source>table</source>
        <translation>tabla</translation>
    </message>
    <message>
        <source>column</source>
        <translation>columna</translation>
    </message>
    <message>
        <source>constraint</source>
        <translation>restricción</translation>
    </message>
    <message>
        <source>index</source>
        <translation>índice</translation>
    </message>
    <message>
        <source>trigger</source>
        <translation>disparador</translation>
    </message>
    <message>
        <source>sequence</source>
        <translation>secuencia</translation>
    </message>
    <message>
        <source>view</source>
        <translation>vista</translation>
    </message>
    <message>
        <source>materialized view</source>
        <translation>vista materializada</translation>
    </message>
    <message>
        <source>function</source>
        <translation>función</translation>
    </message>
    <message>
        <source>procedure</source>
        <translation>procedimiento</translation>
    </message>
    <message>
        <source>aggregate</source>
        <translation>agregado</translation>
    </message>
    <message>
        <source>The database differs from the schema expected at version %1.</source>
        <translation>La base de datos difiere del esquema esperado para la versión %1.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1. The database also has objects of its own, which are not counted as drift.</source>
        <translation>Ninguna diferencia con el esquema esperado para la versión %1. La base de datos tiene además objetos propios, que no cuentan como desviación.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1.</source>
        <translation>Ninguna diferencia con el esquema esperado para la versión %1.</translation>
    </message>
    <message>
        <source>The database reports no version: no comparison is possible.</source>
        <translation>La base de datos no indica ninguna versión: no es posible ninguna comparación.</translation>
    </message>
    <message>
        <source>The database reports version %1, for which no expected schema is known: no comparison is possible.</source>
        <translation>La base de datos indica la versión %1, para la que no se conoce ningún esquema esperado: no es posible ninguna comparación.</translation>
    </message>
    <message>
        <source>Unable to check the database: %1</source>
        <translation>No se puede verificar la base de datos: %1</translation>
    </message>
    <message>
        <source>Missing (%1)</source>
        <translation>Ausentes (%1)</translation>
    </message>
    <message>
        <source>Changed (%1)</source>
        <translation>Modificados (%1)</translation>
    </message>
    <message>
        <source>Extra, not counted as drift (%1)</source>
        <translation>Adicionales, no cuentan como desviación (%1)</translation>
    </message>
</context>
<context>
    <name>UICnfPageDataBase</name>
    <message>
        <source>Connection String</source>
        <translation>Cadena de conexión</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Editar el nombre de la base de datos</translation>
    </message>
    <message>
        <source>Edit the port number</source>
        <translation>Editar el número de puerto</translation>
    </message>
    <message>
        <source>Timeout (seconds)</source>
        <translation>Tiempo de espera (segundos)</translation>
    </message>
    <message>
        <source>The field Server must be correctly filled.</source>
        <translation>El campo Servidor debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>The field Database must be correctly filled.</source>
        <translation>El campo Base de datos debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>The field Port Number must be correctly filled.</source>
        <translation>El campo Número de puerto debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>The field Connection Timeout must be correctly filled.</source>
        <translation>El campo Tiempo de espera de conexión debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>Test successfully executed.</source>
        <translation>Prueba realizada correctamente.</translation>
    </message>
    <message>
        <source>Unable to establish a database connection.</source>
        <translation>No se puede establecer una conexión con la base de datos.</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Servidor</translation>
    </message>
    <message>
        <source>&amp;Database</source>
        <translation>Base de &amp;datos</translation>
    </message>
    <message>
        <source>&amp;Port Number</source>
        <translation>Número de &amp;puerto</translation>
    </message>
    <message>
        <source>Connection &amp;Test</source>
        <translation>Pro&amp;bar conexión</translation>
    </message>
    <message>
        <source>Connection T&amp;imeout</source>
        <translation>&amp;Tiempo de espera de conexión</translation>
    </message>
</context>
<context>
    <name>UICnfPageLanguage</name>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Idioma</translation>
    </message>
</context>
<context>
    <name>UICnfPageLogFile</name>
    <message>
        <source>Log File Parameter</source>
        <translation>Parámetros del archivo de registro</translation>
    </message>
    <message>
        <source>The field File Dimension must be correctly filled.</source>
        <translation>El campo Tamaño del archivo debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>&amp;File Dimension (in MB)</source>
        <translation>&amp;Tamaño del archivo (en MB)</translation>
    </message>
    <message>
        <source>&amp;Database Log</source>
        <translation>Registro de la &amp;base de datos</translation>
    </message>
    <message>
        <source>De&amp;vice Log</source>
        <translation>Registro del &amp;dispositivo</translation>
    </message>
</context>
<context>
    <name>UICnfPageVarie</name>
    <message>
        <source>File System</source>
        <translation>Sistema de archivos</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>Seleccionar carpeta</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Proceso</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Copia de seguridad de la base de datos</translation>
    </message>
    <message>
        <source>1 Month</source>
        <translation>1 mes</translation>
    </message>
    <message>
        <source>3 Months</source>
        <translation>3 meses</translation>
    </message>
    <message>
        <source>6 Months</source>
        <translation>6 meses</translation>
    </message>
    <message>
        <source>9 Months</source>
        <translation>9 meses</translation>
    </message>
    <message>
        <source>1 Year</source>
        <translation>1 año</translation>
    </message>
    <message>
        <source>2 Years</source>
        <translation>2 años</translation>
    </message>
    <message>
        <source>The field Timeout must be correctly filled.</source>
        <translation>El campo Tiempo de espera debe rellenarse correctamente.</translation>
    </message>
    <message>
        <source>Database &amp;Server Path</source>
        <translation>Ruta del &amp;servidor de base de datos</translation>
    </message>
    <message>
        <source>&amp;Timeout (seconds)</source>
        <translation>&amp;Tiempo de espera (segundos)</translation>
    </message>
    <message>
        <source>Database &amp;backup validity days</source>
        <translation>&amp;Validez de las copias de seguridad</translation>
    </message>
    <message>
        <source>Back up before &amp;update</source>
        <translation>Copia de seguridad antes de act&amp;ualizar</translation>
    </message>
</context>
<context>
    <name>UICnfProgram</name>
    <message>
        <source>Program Configuration</source>
        <translation>Configuración del programa</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Base de datos</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>Archivo de registro</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Varios</translation>
    </message>
    <message>
        <source>The data has been modified. Continue anyway ?</source>
        <translation>Los datos se han modificado. ¿Continuar de todos modos?</translation>
    </message>
    <message>
        <source>Unable to save the configuration.</source>
        <translation>No se puede guardar la configuración.</translation>
    </message>
</context>
<context>
    <name>UICreateDb</name>
    <message>
        <source>Create a new database</source>
        <translation>Crear una nueva base de datos</translation>
    </message>
    <message>
        <source>New Database</source>
        <translation>Nueva base de datos</translation>
    </message>
    <message>
        <source>Database &amp;Name</source>
        <translation>&amp;Nombre de la base de datos</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Editar el nombre de la base de datos</translation>
    </message>
    <message>
        <source>You must insert the database name correctly.</source>
        <translation>Debe introducir correctamente el nombre de la base de datos.</translation>
    </message>
    <message>
        <source>Are you sure you want to create a new database with name %1 ?</source>
        <translation>¿Seguro que desea crear una nueva base de datos con el nombre %1?</translation>
    </message>
    <message>
        <source>The database %1 was created with success.</source>
        <translation>La base de datos %1 se ha creado correctamente.</translation>
    </message>
    <message>
        <source>Unable to create the database %1.</source>
        <translation>No se puede crear la base de datos %1.</translation>
    </message>
</context>
<context>
    <name>UIForceDbVersion</name>
    <message>
        <source>Force Database Version</source>
        <translation>Forzar versión de la base de datos</translation>
    </message>
    <message>
        <source>New Database Version</source>
        <translation>Nueva versión de la base de datos</translation>
    </message>
    <message>
        <source>Database &amp;Version</source>
        <translation>&amp;Versión de la base de datos</translation>
    </message>
    <message>
        <source>Are you sure you want to force the database to version %1 ?</source>
        <translation>¿Seguro que desea forzar la base de datos a la versión %1?</translation>
    </message>
</context>
<context>
    <name>UIRehearsal</name>
    <message>
        <source>Rehearse update</source>
        <translation>Ensayar actualización</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>Copy made from the backup %1</source>
        <translation>Copia hecha a partir de la copia de seguridad %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Correcto</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fallido</translation>
    </message>
    <message>
        <source>The schema of the copy matches its version.</source>
        <translation>El esquema de la copia corresponde a su versión.</translation>
    </message>
    <message>
        <source>The schema of the copy differs from its version (differences: %1). Tools &gt; Check Database lists them.</source>
        <translation>El esquema de la copia difiere de su versión (diferencias: %1). Herramientas &gt; Verificación de la base de datos las enumera.</translation>
    </message>
</context>
</TS>
