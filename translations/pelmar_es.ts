<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
    <context>
        <name>pelmar::AbsencesDialog</name>
        <message>
            <source>Absences of %1</source>
            <translation>Ausencias de %1</translation>
        </message>
        <message>
            <source>From</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>To</source>
            <translation>Hasta</translation>
        </message>
        <message>
            <source>TimeID</source>
            <translation>TimeID</translation>
        </message>
        <message>
            <source>Date</source>
            <translation>Fecha</translation>
        </message>
        <message>
            <source>Type</source>
            <translation>Tipo</translation>
        </message>
        <message>
            <source>Absences</source>
            <translation>Ausencias</translation>
        </message>
        <message>
            <source>&amp;Add…</source>
            <translation>A&amp;gregar…</translation>
        </message>
        <message>
            <source>&amp;Remove</source>
            <translation>&amp;Quitar</translation>
        </message>
        <message>
            <source>&amp;Type</source>
            <translation>&amp;Tipo</translation>
        </message>
        <message>
            <source>&amp;On</source>
            <translation>&amp;El día</translation>
        </message>
        <message>
            <source>one date</source>
            <translation>una fecha</translation>
        </message>
        <message>
            <source>every Monday to Friday of a range</source>
            <translation>cada lunes a viernes de un período</translation>
        </message>
        <message>
            <source>&amp;From</source>
            <translation>&amp;Desde</translation>
        </message>
        <message>
            <source>T&amp;o</source>
            <translation>&amp;Hasta</translation>
        </message>
        <message>
            <source>%1 added for %2 on %3</source>
            <translation>%1 agregado para %2 el %3</translation>
        </message>
        <message numerus="yes">
            <source>%1 added for %2 on %n day(s)</source>
            <translation>
                <numerusform>%1 agregado para %2 en %n día</numerusform>
                <numerusform>%1 agregado para %2 en %n días</numerusform>
            </translation>
        </message>
        <message>
            <source>Pick an absence in the list first.</source>
            <translation>Primero elija una ausencia de la lista.</translation>
        </message>
        <message>
            <source>%1 of %2 on %3 removed (record %4)</source>
            <translation>%1 de %2 el %3 eliminado (registro %4)</translation>
        </message>
    </context>
    <context>
        <name>pelmar::AdminTab</name>
        <message>
            <source>⚠ open %1 h</source>
            <translation>⚠ abierto %1 h</translation>
        </message>
        <message>
            <source>All employees</source>
            <translation>Todos los empleados</translation>
        </message>
        <message>
            <source> (left %1)</source>
            <translation> (se fue el %1)</translation>
        </message>
        <message>
            <source>Period</source>
            <translation>Período</translation>
        </message>
        <message>
            <source>This month</source>
            <translation>Este mes</translation>
        </message>
        <message>
            <source>Last month</source>
            <translation>El mes pasado</translation>
        </message>
        <message>
            <source>Last 14 days</source>
            <translation>Últimos 14 días</translation>
        </message>
        <message>
            <source>Other dates</source>
            <translation>Otras fechas</translation>
        </message>
        <message>
            <source>%1 could not be written: %2</source>
            <translation>No se pudo escribir %1: %2</translation>
        </message>
    </context>
    <context>
        <name>pelmar::AdminWindow</name>
        <message>
            <source>Pelmar Administrator</source>
            <translation>Administrador de Pelmar</translation>
        </message>
        <message>
            <source>Administration</source>
            <translation>Administración</translation>
        </message>
        <message>
            <source>Pelmar Administrator - %1</source>
            <translation>Administrador de Pelmar - %1</translation>
        </message>
        <message>
            <source>The role '%1' that %2 logs in as does not own the database's tables, so it can't change the staff or the settings.</source>
            <translation>El rol '%1' con el que %2 inicia sesión no es dueño de las tablas de la base de datos, así que no puede cambiar el personal ni la configuración.</translation>
        </message>
        <message>
            <source>Log in as the tables' owner (%1) on this server.</source>
            <translation>Inicie sesión en este servidor como el dueño de las tablas (%1).</translation>
        </message>
        <message>
            <source>The role '%1' does not own the database's tables either.</source>
            <translation>El rol '%1' tampoco es dueño de las tablas de la base de datos.</translation>
        </message>
        <message>
            <source>&amp;Board</source>
            <translation>&amp;Tablero</translation>
        </message>
        <message>
            <source>&amp;Time records</source>
            <translation>&amp;Registros de tiempo</translation>
        </message>
        <message>
            <source>&amp;Payroll</source>
            <translation>&amp;Nómina</translation>
        </message>
        <message>
            <source>&amp;Staff</source>
            <translation>&amp;Personal</translation>
        </message>
        <message>
            <source>&amp;Audit</source>
            <translation>&amp;Auditoría</translation>
        </message>
        <message>
            <source>A&amp;lerts</source>
            <translation>A&amp;lertas</translation>
        </message>
        <message>
            <source>S&amp;ettings</source>
            <translation>&amp;Configuración</translation>
        </message>
        <message>
            <source>Working…</source>
            <translation>Trabajando…</translation>
        </message>
    </context>
    <context>
        <name>pelmar::AlertsTab</name>
        <message>
            <source>From</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>To</source>
            <translation>Hasta</translation>
        </message>
        <message>
            <source>Alert</source>
            <translation>Alerta</translation>
        </message>
        <message>
            <source>Made</source>
            <translation>Creada</translation>
        </message>
        <message>
            <source>Employee</source>
            <translation>Empleado</translation>
        </message>
        <message>
            <source>Shift date</source>
            <translation>Fecha del turno</translation>
        </message>
        <message>
            <source>State</source>
            <translation>Estado</translation>
        </message>
        <message>
            <source>Tries</source>
            <translation>Intentos</translation>
        </message>
        <message>
            <source>Sent</source>
            <translation>Enviada</translation>
        </message>
        <message>
            <source>Reason</source>
            <translation>Motivo</translation>
        </message>
        <message>
            <source>Alerts</source>
            <translation>Alertas</translation>
        </message>
        <message>
            <source>Send &amp;again</source>
            <translation>&amp;Volver a enviar</translation>
        </message>
        <message>
            <source>Alert %1 will be sent again by the next terminal that tries.</source>
            <translation>La próxima terminal que lo intente volverá a enviar la alerta %1.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::AuditTab</name>
        <message>
            <source>From</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>To</source>
            <translation>Hasta</translation>
        </message>
        <message>
            <source>Employee</source>
            <translation>Empleado</translation>
        </message>
        <message>
            <source>Action</source>
            <translation>Acción</translation>
        </message>
        <message>
            <source>All actions</source>
            <translation>Todas las acciones</translation>
        </message>
        <message>
            <source>When</source>
            <translation>Cuándo</translation>
        </message>
        <message>
            <source>Workstation</source>
            <translation>Estación de trabajo</translation>
        </message>
        <message>
            <source>Account</source>
            <translation>Cuenta</translation>
        </message>
        <message>
            <source>TimeID</source>
            <translation>TimeID</translation>
        </message>
        <message>
            <source>EmployeeID</source>
            <translation>EmployeeID</translation>
        </message>
        <message>
            <source>Before</source>
            <translation>Antes</translation>
        </message>
        <message>
            <source>After</source>
            <translation>Después</translation>
        </message>
        <message>
            <source>Audit trail</source>
            <translation>Registro de auditoría</translation>
        </message>
        <message>
            <source>Export &amp;CSV…</source>
            <translation>Exportar CS&amp;V…</translation>
        </message>
        <message>
            <source>Export the audit trail</source>
            <translation>Exportar el registro de auditoría</translation>
        </message>
        <message>
            <source>CSV files|*.csv</source>
            <translation>Archivos CSV|*.csv</translation>
        </message>
        <message>
            <source>Offline</source>
            <translation>Sin conexión</translation>
        </message>
    </context>
    <context>
        <name>pelmar::BoardTab</name>
        <message>
            <source>Find a name</source>
            <translation>Buscar un nombre</translation>
        </message>
        <message>
            <source>&amp;Refresh</source>
            <translation>Actuali&amp;zar</translation>
        </message>
        <message>
            <source>ID</source>
            <translation>ID</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Nombre</translation>
        </message>
        <message>
            <source>Status</source>
            <translation>Estado</translation>
        </message>
        <message>
            <source>Since</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>Workstation</source>
            <translation>Estación de trabajo</translation>
        </message>
        <message>
            <source>Check</source>
            <translation>Revisar</translation>
        </message>
        <message>
            <source>Board</source>
            <translation>Tablero</translation>
        </message>
        <message>
            <source>%1 in, %2 out, %3 away</source>
            <translation>%1 presentes, %2 fuera, %3 ausentes</translation>
        </message>
    </context>
    <context>
        <name>pelmar::DatabaseLocator</name>
        <message>
            <source>Locate the Pelmar Database</source>
            <translation>Ubicar la base de datos de Pelmar</translation>
        </message>
    </context>
    <context>
        <name>pelmar::NameList</name>
        <message>
            <source>Select your name</source>
            <translation>Seleccione su nombre</translation>
        </message>
    </context>
    <context>
        <name>pelmar::PayrollTab</name>
        <message>
            <source>From</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>To</source>
            <translation>Hasta</translation>
        </message>
        <message>
            <source>ID</source>
            <translation>ID</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Nombre</translation>
        </message>
        <message>
            <source>Hours</source>
            <translation>Horas</translation>
        </message>
        <message>
            <source>Days worked</source>
            <translation>Días trabajados</translation>
        </message>
        <message>
            <source>Vacation</source>
            <translation>Vacaciones</translation>
        </message>
        <message>
            <source>Holiday</source>
            <translation>Día feriado</translation>
        </message>
        <message>
            <source>Sick leave</source>
            <translation>Licencia por enfermedad</translation>
        </message>
        <message>
            <source>Other</source>
            <translation>Otro</translation>
        </message>
        <message>
            <source>Open shifts</source>
            <translation>Turnos abiertos</translation>
        </message>
        <message>
            <source>Payroll</source>
            <translation>Nómina</translation>
        </message>
        <message>
            <source>Hours per employee</source>
            <translation>Horas por empleado</translation>
        </message>
        <message>
            <source>Export &amp;CSV…</source>
            <translation>Exportar CS&amp;V…</translation>
        </message>
        <message>
            <source>Save &amp;PDF…</source>
            <translation>Guardar P&amp;DF…</translation>
        </message>
        <message>
            <source>%1: %2</source>
            <translation>%1: %2</translation>
        </message>
        <message>
            <source>(no type)</source>
            <translation>(sin tipo)</translation>
        </message>
        <message>
            <source>Other, records of a type the clock does not know: %1</source>
            <translation>Otro, registros de un tipo que el reloj no conoce: %1</translation>
        </message>
        <message>
            <source>, </source>
            <translation>, </translation>
        </message>
        <message>
            <source>Hours, with open shifts to correct</source>
            <translation>Horas, con turnos abiertos por corregir</translation>
        </message>
        <message>
            <source>%1 (%2 open)</source>
            <translation>%1 (%2 sin cerrar)</translation>
        </message>
        <message>
            <source>Hours, %1</source>
            <translation>Horas, %1</translation>
        </message>
        <message>
            <source>%1 to %2</source>
            <translation>%1 a %2</translation>
        </message>
        <message numerus="yes">
            <source>%n shift(s) from %1 are still open: their hours are not counted. Save the payroll anyway?</source>
            <translation>
                <numerusform>%n turno de %1 sigue abierto: sus horas no se cuentan. ¿Guardar la nómina de todos modos?</numerusform>
                <numerusform>%n turnos de %1 siguen abiertos: sus horas no se cuentan. ¿Guardar la nómina de todos modos?</numerusform>
            </translation>
        </message>
        <message>
            <source>Export the payroll</source>
            <translation>Exportar la nómina</translation>
        </message>
        <message>
            <source>CSV files|*.csv</source>
            <translation>Archivos CSV|*.csv</translation>
        </message>
        <message>
            <source>Save the payroll as PDF</source>
            <translation>Guardar la nómina como PDF</translation>
        </message>
        <message>
            <source>PDF files|*.pdf</source>
            <translation>Archivos PDF|*.pdf</translation>
        </message>
    </context>
    <context>
        <name>pelmar::QtDialogs</name>
        <message>
            <source>&amp;User name</source>
            <translation>Nombre de &amp;usuario</translation>
        </message>
        <message>
            <source>&amp;Password</source>
            <translation>&amp;Contraseña</translation>
        </message>
    </context>
    <context>
        <name>pelmar::RecordType</name>
        <message>
            <source>Worked</source>
            <translation>Trabajado</translation>
        </message>
        <message>
            <source>Vacation</source>
            <translation>Vacaciones</translation>
        </message>
        <message>
            <source>Holiday</source>
            <translation>Día feriado</translation>
        </message>
        <message>
            <source>Sick Leave</source>
            <translation>Licencia por enfermedad</translation>
        </message>
    </context>
    <context>
        <name>pelmar::RecordsTab</name>
        <message>
            <source>Employee</source>
            <translation>Empleado</translation>
        </message>
        <message>
            <source>From</source>
            <translation>Desde</translation>
        </message>
        <message>
            <source>To</source>
            <translation>Hasta</translation>
        </message>
        <message>
            <source>TimeID</source>
            <translation>TimeID</translation>
        </message>
        <message>
            <source>Date</source>
            <translation>Fecha</translation>
        </message>
        <message>
            <source>In</source>
            <translation>Entrada</translation>
        </message>
        <message>
            <source>Out</source>
            <translation>Salida</translation>
        </message>
        <message>
            <source>Hours</source>
            <translation>Horas</translation>
        </message>
        <message>
            <source>Type</source>
            <translation>Tipo</translation>
        </message>
        <message>
            <source>Check</source>
            <translation>Revisar</translation>
        </message>
        <message>
            <source>Time records</source>
            <translation>Registros de tiempo</translation>
        </message>
        <message>
            <source>&amp;Add…</source>
            <translation>A&amp;gregar…</translation>
        </message>
        <message>
            <source>&amp;Edit…</source>
            <translation>&amp;Editar…</translation>
        </message>
        <message>
            <source>&amp;Delete</source>
            <translation>&amp;Borrar</translation>
        </message>
        <message>
            <source>closed at midnight by the clock</source>
            <translation>cerrado a medianoche por el reloj</translation>
        </message>
        <message>
            <source>open</source>
            <translation>abierto</translation>
        </message>
        <message>
            <source>Pick a time record in the list first.</source>
            <translation>Primero elija un registro de tiempo de la lista.</translation>
        </message>
        <message>
            <source>Shift %1 of %2 added on %3, open since %4</source>
            <translation>Turno %1 de %2 agregado el %3, abierto desde %4</translation>
        </message>
        <message>
            <source>Shift %1 of %2 set open since %3</source>
            <translation>Turno %1 de %2 marcado como abierto desde %3</translation>
        </message>
        <message>
            <source>Shift %1 of %2 added on %3, %4 to %5 (%6 hours)</source>
            <translation>Turno %1 de %2 agregado el %3, de %4 a %5 (%6 horas)</translation>
        </message>
        <message>
            <source>Shift %1 of %2 closed at %3 (%4 hours)</source>
            <translation>Turno %1 de %2 cerrado a las %3 (%4 horas)</translation>
        </message>
        <message>
            <source>Shift %1 of %2 set to %3 to %4 (%5 hours)</source>
            <translation>Turno %1 de %2 cambiado a %3 a %4 (%5 horas)</translation>
        </message>
        <message>
            <source>Add a shift for %1</source>
            <translation>Agregar un turno para %1</translation>
        </message>
        <message>
            <source>Edit shift %1 of %2 on %3</source>
            <translation>Editar el turno %1 de %2 del %3</translation>
        </message>
        <message>
            <source>&amp;Date</source>
            <translation>&amp;Fecha</translation>
        </message>
        <message>
            <source>&amp;In</source>
            <translation>&amp;Entrada</translation>
        </message>
        <message>
            <source>&amp;Out</source>
            <translation>&amp;Salida</translation>
        </message>
        <message>
            <source>Still &amp;open</source>
            <translation>Todavía a&amp;bierto</translation>
        </message>
        <message>
            <source>no clock-out yet</source>
            <translation>todavía sin salida</translation>
        </message>
        <message>
            <source>Delete a time record</source>
            <translation>Borrar un registro de tiempo</translation>
        </message>
        <message>
            <source>Delete time record %1 of %2?</source>
            <translation>¿Borrar el registro de tiempo %1 de %2?</translation>
        </message>
        <message>
            <source>Time record %1 of %2 on %3 deleted</source>
            <translation>Registro de tiempo %1 de %2 del %3 borrado</translation>
        </message>
    </context>
    <context>
        <name>pelmar::RunError</name>
        <message>
            <source>Invalid procedure call or argument</source>
            <translation>Llamada a procedimiento o argumento no válido</translation>
        </message>
        <message>
            <source>Type mismatch</source>
            <translation>Los tipos no coinciden</translation>
        </message>
        <message>
            <source>Path/File access error</source>
            <translation>Error de acceso a la ruta o al archivo</translation>
        </message>
        <message>
            <source>Invalid use of Null</source>
            <translation>Uso no válido de Null</translation>
        </message>
        <message>
            <source>No current record.</source>
            <translation>No hay un registro actual.</translation>
        </message>
        <message>
            <source>Update or CancelUpdate without AddNew or Edit.</source>
            <translation>Update o CancelUpdate sin AddNew o Edit.</translation>
        </message>
        <message>
            <source>Could not find file '%1'.</source>
            <translation>No se encontró el archivo '%1'.</translation>
        </message>
        <message>
            <source>Cannot update. Database or object is read-only.</source>
            <translation>No se puede actualizar. La base de datos o el objeto es de solo lectura.</translation>
        </message>
        <message>
            <source>System resource exceeded: the disk is full.</source>
            <translation>Se agotaron los recursos del sistema: el disco está lleno.</translation>
        </message>
        <message>
            <source>Disk or network error.</source>
            <translation>Error de disco o de red.</translation>
        </message>
        <message>
            <source>'%1' is not a valid path. Make sure that the path name is spelled correctly and that you are connected to the server on which the file resides.</source>
            <translation>'%1' no es una ruta válida. Asegúrese de que la ruta esté bien escrita y de que esté conectado al servidor donde se encuentra el archivo.</translation>
        </message>
        <message>
            <source>Not a valid file name.</source>
            <translation>El nombre de archivo no es válido.</translation>
        </message>
        <message>
            <source>Syntax error in query expression '%1'.</source>
            <translation>Error de sintaxis en la expresión de consulta '%1'.</translation>
        </message>
        <message>
            <source>The database engine cannot find the input table or query '%1'.</source>
            <translation>El motor de base de datos no encuentra la tabla o consulta de entrada '%1'.</translation>
        </message>
        <message>
            <source>Too few parameters. Expected 1.</source>
            <translation>Faltan parámetros. Se esperaba 1.</translation>
        </message>
        <message>
            <source>Could not update; currently locked.</source>
            <translation>No se pudo actualizar; está bloqueado en este momento.</translation>
        </message>
        <message>
            <source>Item not found in this collection.</source>
            <translation>No se encontró el elemento en esta colección.</translation>
        </message>
        <message>
            <source>Unrecognized database format '%1'.</source>
            <translation>Formato de base de datos no reconocido '%1'.</translation>
        </message>
        <message>
            <source>Data type conversion error.</source>
            <translation>Error de conversión del tipo de datos.</translation>
        </message>
        <message>
            <source>Cancel was selected.</source>
            <translation>Se seleccionó Cancelar.</translation>
        </message>
        <message>
            <source>Application-defined or object-defined error</source>
            <translation>Error definido por la aplicación o por el objeto</translation>
        </message>
        <message>
            <source>Overflow</source>
            <translation>Desbordamiento</translation>
        </message>
        <message>
            <source>Out of memory</source>
            <translation>Memoria insuficiente</translation>
        </message>
        <message>
            <source>Object variable or With block variable not set</source>
            <translation>Variable de objeto o bloque With no establecida</translation>
        </message>
        <message>
            <source>Table '%1' already exists.</source>
            <translation>La tabla '%1' ya existe.</translation>
        </message>
        <message>
            <source>Record is deleted.</source>
            <translation>El registro se eliminó.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::SettingsTab</name>
        <message>
            <source>Alert after &amp;hours</source>
            <translation>Alertar después de estas &amp;horas</translation>
        </message>
        <message>
            <source>Mail &amp;server</source>
            <translation>&amp;Servidor de correo</translation>
        </message>
        <message>
            <source>Mail &amp;user</source>
            <translation>&amp;Usuario de correo</translation>
        </message>
        <message>
            <source>Mail pass&amp;word</source>
            <translation>Contraseña de c&amp;orreo</translation>
        </message>
        <message>
            <source>Left empty, the saved password is kept</source>
            <translation>Si lo deja vacío, se conserva la contraseña guardada</translation>
        </message>
        <message>
            <source>Administrator's &amp;address</source>
            <translation>Correo del ad&amp;ministrador</translation>
        </message>
        <message>
            <source>&amp;Save</source>
            <translation>&amp;Guardar</translation>
        </message>
        <message>
            <source>Send a &amp;test alert</source>
            <translation>Env&amp;iar una alerta de prueba</translation>
        </message>
        <message>
            <source>Sent to %1</source>
            <translation>Enviada a %1</translation>
        </message>
        <message>
            <source>Saved.</source>
            <translation>Guardado.</translation>
        </message>
        <message>
            <source>Settings saved</source>
            <translation>Configuración guardada</translation>
        </message>
        <message>
            <source>Sending to %1…</source>
            <translation>Enviando a %1…</translation>
        </message>
    </context>
    <context>
        <name>pelmar::StaffTab</name>
        <message>
            <source>ID</source>
            <translation>ID</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Nombre</translation>
        </message>
        <message>
            <source>Terminated</source>
            <translation>Dado de baja</translation>
        </message>
        <message>
            <source>Staff</source>
            <translation>Personal</translation>
        </message>
        <message>
            <source>&amp;Add…</source>
            <translation>A&amp;gregar…</translation>
        </message>
        <message>
            <source>Reset &amp;password…</source>
            <translation>Restablecer contra&amp;seña…</translation>
        </message>
        <message>
            <source>&amp;Terminate…</source>
            <translation>&amp;Dar de baja…</translation>
        </message>
        <message>
            <source>Re&amp;hire</source>
            <translation>Rec&amp;ontratar</translation>
        </message>
        <message>
            <source>A&amp;bsences…</source>
            <translation>Ausenc&amp;ias…</translation>
        </message>
        <message>
            <source>Pick an employee in the list first.</source>
            <translation>Primero elija un empleado de la lista.</translation>
        </message>
        <message>
            <source>Add an employee</source>
            <translation>Agregar un empleado</translation>
        </message>
        <message>
            <source>Full &amp;name</source>
            <translation>&amp;Nombre completo</translation>
        </message>
        <message>
            <source>&amp;Key</source>
            <translation>&amp;Clave</translation>
        </message>
        <message>
            <source>&amp;Password</source>
            <translation>Contra&amp;seña</translation>
        </message>
        <message>
            <source>&amp;Again</source>
            <translation>&amp;Repetir</translation>
        </message>
        <message>
            <source>%1 added as employee %2</source>
            <translation>%1 agregado como empleado %2</translation>
        </message>
        <message>
            <source>New password for %1</source>
            <translation>Nueva contraseña para %1</translation>
        </message>
        <message>
            <source>Password of %1 reset</source>
            <translation>Contraseña de %1 restablecida</translation>
        </message>
        <message>
            <source>Terminate %1</source>
            <translation>Dar de baja a %1</translation>
        </message>
        <message>
            <source>&amp;Last day</source>
            <translation>Ú&amp;ltimo día</translation>
        </message>
        <message>
            <source>%1 terminated on %2</source>
            <translation>%1 dado de baja el %2</translation>
        </message>
        <message>
            <source>%1 rehired</source>
            <translation>%1 recontratado</translation>
        </message>
    </context>
    <context>
        <name>pelmar::Startup</name>
        <message>
            <source>Find the database location</source>
            <translation>Buscar la ubicación de la base de datos</translation>
        </message>
        <message>
            <source>Database Files (Pelmar.mdb)</source>
            <translation>Archivos de base de datos (Pelmar.mdb)</translation>
        </message>
        <message>
            <source>The database location '%1' was saved in %2 but reads back as '%3', so it can't be used. Contact the system administration for help.</source>
            <translation>La ubicación de la base de datos '%1' se guardó en %2, pero al leerla dice '%3', así que no se puede usar. Comuníquese con el administrador del sistema para obtener ayuda.</translation>
        </message>
        <message>
            <source>The database location is incorrect. Please enter the correct location. Contact the system administration for help if needed.</source>
            <translation>La ubicación de la base de datos es incorrecta. Escriba la ubicación correcta. Si lo necesita, comuníquese con el administrador del sistema para obtener ayuda.</translation>
        </message>
        <message>
            <source>The location you picked is used only until the program closes; the next start uses the database configured for this computer (in %1) again.</source>
            <translation>La ubicación que eligió se usa solo hasta que se cierre el programa; la próxima vez que se inicie, volverá a usar la base de datos configurada para esta computadora (en %1).</translation>
        </message>
        <message>
            <source>The database location could not be saved in %1, so it is used only until the program closes. Contact the system administration to make that file writable.</source>
            <translation>No se pudo guardar la ubicación de la base de datos en %1, así que solo se usa hasta que se cierre el programa. Comuníquese con el administrador del sistema para que ese archivo se pueda modificar.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::TimeClockWindow</name>
        <message>
            <source>Log In</source>
            <translation>Entrar</translation>
        </message>
        <message>
            <source>Display your time clock screen</source>
            <translation>Mostrar su pantalla del reloj</translation>
        </message>
        <message>
            <source>Log Out</source>
            <translation>Salir</translation>
        </message>
        <message>
            <source>Close your time clock screen</source>
            <translation>Cerrar su pantalla del reloj</translation>
        </message>
        <message>
            <source>Clock IN</source>
            <translation>Marcar ENTRADA</translation>
        </message>
        <message>
            <source>Clock OUT</source>
            <translation>Marcar SALIDA</translation>
        </message>
        <message>
            <source>Hide My Time</source>
            <translation>Ocultar horas</translation>
        </message>
        <message>
            <source>Close your time sheet records.</source>
            <translation>Cerrar los registros de su hoja de horas.</translation>
        </message>
        <message>
            <source>View My Time</source>
            <translation>Ver mis horas</translation>
        </message>
        <message>
            <source>Display your time sheet in a table</source>
            <translation>Mostrar su hoja de horas en una tabla</translation>
        </message>
        <message>
            <source>Time Log</source>
            <translation>Registro de horas</translation>
        </message>
        <message>
            <source>Enter your personal password that is assigned by the administrator.</source>
            <translation>Escriba la contraseña personal que le asignó el administrador.</translation>
        </message>
        <message>
            <source>Where Is?</source>
            <translation>¿Dónde está?</translation>
        </message>
        <message>
            <source>Display this person's last known location</source>
            <translation>Mostrar la última ubicación conocida de esta persona</translation>
        </message>
        <message>
            <source>Change the dates displayed</source>
            <translation>Cambiar las fechas</translation>
        </message>
        <message>
            <source>Click to enter new date range</source>
            <translation>Haga clic para escribir un nuevo rango de fechas</translation>
        </message>
        <message>
            <source>You Clocked Out:</source>
            <translation>Marcó su salida:</translation>
        </message>
        <message>
            <source>You Clocked In:</source>
            <translation>Marcó su entrada:</translation>
        </message>
        <message>
            <source>Total Hours</source>
            <translation>Total de horas</translation>
        </message>
        <message>
            <source>Enter Password</source>
            <translation>Contraseña</translation>
        </message>
        <message>
            <source>Select Name:</source>
            <translation>Su nombre:</translation>
        </message>
        <message>
            <source>Enter the start ('from') date as mm/dd/yyyy</source>
            <translation>Escriba la fecha de inicio ('desde') como mm/dd/aaaa</translation>
        </message>
        <message>
            <source>Enter From:</source>
            <translation>Desde:</translation>
        </message>
        <message>
            <source>Enter the end ('to') date as mm/dd/yyyy</source>
            <translation>Escriba la fecha final ('hasta') como mm/dd/aaaa</translation>
        </message>
        <message>
            <source>Enter To:</source>
            <translation>Hasta:</translation>
        </message>
        <message>
            <source>Entry is not a valid date</source>
            <translation>Lo que escribió no es una fecha válida</translation>
        </message>
        <message>
            <source>Time sheet</source>
            <translation>Hoja de horas</translation>
        </message>
        <message>
            <source>Select a name in the list first.</source>
            <translation>Primero seleccione un nombre en la lista.</translation>
        </message>
        <message>
            <source>offline: %1 punches kept on this terminal</source>
            <translation>sin conexión: %1 marcas guardadas en esta terminal</translation>
        </message>
        <message>
            <source>offline</source>
            <translation>sin conexión</translation>
        </message>
        <message>
            <source>%1 punches kept on this terminal were refused by the database: tell the administrator</source>
            <translation>la base de datos rechazó %1 marcas guardadas en esta terminal: avise al administrador</translation>
        </message>
    </context>
    <context>
        <name>pelmar::TimeGrid</name>
        <message>
            <source>PersonnelID</source>
            <translation>PersonnelID</translation>
        </message>
        <message>
            <source>Date</source>
            <translation>Fecha</translation>
        </message>
        <message>
            <source>Time In</source>
            <translation>Entrada</translation>
        </message>
        <message>
            <source>Time Out</source>
            <translation>Salida</translation>
        </message>
        <message>
            <source>Hours</source>
            <translation>Horas</translation>
        </message>
        <message>
            <source>Type</source>
            <translation>Tipo</translation>
        </message>
    </context>
    <context>
        <name>pelmar::admin</name>
        <message>
            <source>'%1' is not %2 (a whole number above 0).</source>
            <translation>'%1' no es %2 (un número entero mayor que 0).</translation>
        </message>
        <message>
            <source>A shift from %1 to %2 the next day lasts 24 hours or more; a time record holds less. Split it into two records.</source>
            <translation>Un turno de %1 a %2 del día siguiente dura 24 horas o más; un registro de tiempo cubre menos. Divídalo en dos registros.</translation>
        </message>
        <message>
            <source>From %1, still open</source>
            <translation>Desde %1, todavía abierto</translation>
        </message>
        <message>
            <source>%1 to %2 the next day: %3 hours</source>
            <translation>%1 a %2 del día siguiente: %3 horas</translation>
        </message>
        <message>
            <source>%1 to %2: %3 hours</source>
            <translation>%1 a %2: %3 horas</translation>
        </message>
        <message>
            <source>an employee number</source>
            <translation>un número de empleado</translation>
        </message>
        <message>
            <source>a time record number</source>
            <translation>un número de registro de tiempo</translation>
        </message>
        <message>
            <source>'%1' is not a date; write it as M/D/YYYY.</source>
            <translation>'%1' no es una fecha; escríbala como M/D/AAAA.</translation>
        </message>
        <message>
            <source>The range ends on %1, before it starts on %2.</source>
            <translation>El período termina el %1, antes de empezar el %2.</translation>
        </message>
        <message>
            <source>'%1' is not a time; write it as h:mm AM or h:mm:ss PM.</source>
            <translation>'%1' no es una hora; escríbala como h:mm AM o h:mm:ss PM.</translation>
        </message>
        <message>
            <source>'%1' is not an absence; use "Vacation", "Holiday" or "Sick Leave".</source>
            <translation>'%1' no es una ausencia; use "Vacation", "Holiday" o "Sick Leave".</translation>
        </message>
        <message>
            <source>There is no absence %1; nothing was changed.</source>
            <translation>No existe la ausencia %1; no se cambió nada.</translation>
        </message>
        <message>
            <source>%1 already has %2 on %3 (record %4); nothing was changed.</source>
            <translation>%1 ya tiene %2 el %3 (registro %4); no se cambió nada.</translation>
        </message>
        <message>
            <source>%1 has a shift on %2 (record %3); nothing was changed.</source>
            <translation>%1 tiene un turno el %2 (registro %3); no se cambió nada.</translation>
        </message>
        <message>
            <source>There is no time record %1.</source>
            <translation>No existe el registro de tiempo %1.</translation>
        </message>
        <message>
            <source>Time record %1 is a "%2" record; only "Worked" records have clock times.</source>
            <translation>El registro de tiempo %1 es de tipo "%2"; solo los registros "Worked" tienen horas de entrada y salida.</translation>
        </message>
        <message>
            <source>Time record %1 could not be changed.</source>
            <translation>No se pudo cambiar el registro de tiempo %1.</translation>
        </message>
        <message>
            <source>Time record %1 could not be removed.</source>
            <translation>No se pudo eliminar el registro de tiempo %1.</translation>
        </message>
        <message>
            <source>This database has no audit trail yet; run pelmar-db upgrade on it first.</source>
            <translation>Esta base de datos todavía no tiene registro de auditoría; primero ejecute pelmar-db upgrade en ella.</translation>
        </message>
        <message>
            <source>This database has no alerts' outbox yet; run pelmar-db upgrade on it first.</source>
            <translation>Esta base de datos todavía no tiene bandeja de salida de alertas; primero ejecute pelmar-db upgrade en ella.</translation>
        </message>
        <message>
            <source>Payroll %1</source>
            <translation>Nómina %1</translation>
        </message>
        <message>
            <source>ID</source>
            <translation>ID</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Nombre</translation>
        </message>
        <message>
            <source>Hours</source>
            <translation>Horas</translation>
        </message>
        <message>
            <source>Days worked</source>
            <translation>Días trabajados</translation>
        </message>
        <message>
            <source>Vacation</source>
            <translation>Vacaciones</translation>
        </message>
        <message>
            <source>Holiday</source>
            <translation>Día feriado</translation>
        </message>
        <message>
            <source>Sick leave</source>
            <translation>Licencia por enfermedad</translation>
        </message>
        <message>
            <source>Other</source>
            <translation>Otro</translation>
        </message>
        <message>
            <source>Open shifts</source>
            <translation>Turnos abiertos</translation>
        </message>
        <message>
            <source>Total</source>
            <translation>Total</translation>
        </message>
        <message>
            <source>Other: records of a type the clock does not know</source>
            <translation>Otro: registros de un tipo que el reloj no conoce</translation>
        </message>
        <message>
            <source>(no type)</source>
            <translation>(sin tipo)</translation>
        </message>
        <message numerus="yes">
            <source>%n shift(s) still open in this range: their hours are not counted.</source>
            <translation>
                <numerusform>%n turno sigue abierto en este período: sus horas no se cuentan.</numerusform>
                <numerusform>%n turnos siguen abiertos en este período: sus horas no se cuentan.</numerusform>
            </translation>
        </message>
        <message>
            <source>There is no employee %1.</source>
            <translation>No existe el empleado %1.</translation>
        </message>
        <message>
            <source>There is already a current employee named %1; nothing was changed.</source>
            <translation>Ya hay un empleado activo llamado %1; no se cambió nada.</translation>
        </message>
        <message>
            <source>Employee %1 already exists; nothing was changed.</source>
            <translation>El empleado %1 ya existe; no se cambió nada.</translation>
        </message>
        <message>
            <source>Employee %1 is not terminated; nothing was changed.</source>
            <translation>El empleado %1 no está dado de baja; no se cambió nada.</translation>
        </message>
        <message>
            <source>The range holds no day from Monday to Friday.</source>
            <translation>El período no incluye ningún día de lunes a viernes.</translation>
        </message>
        <message>
            <source>'%1' is not a setting; use one of %2.</source>
            <translation>'%1' no es una opción de configuración; use una de estas: %2.</translation>
        </message>
        <message>
            <source>WorkHoursNotify must be a number of hours, not '%1'.</source>
            <translation>WorkHoursNotify debe ser un número de horas, no '%1'.</translation>
        </message>
        <message>
            <source>A mail setting cannot hold a line break.</source>
            <translation>Una opción de correo no puede tener un salto de línea.</translation>
        </message>
        <message>
            <source>The settings table has no row.</source>
            <translation>La tabla de configuración no tiene ninguna fila.</translation>
        </message>
        <message>
            <source>The saved mail password goes only to the saved mail server; type the password to send a test alert to %1. Nothing was sent.</source>
            <translation>La contraseña de correo guardada solo se envía al servidor de correo guardado; escriba la contraseña para enviar una alerta de prueba a %1. No se envió nada.</translation>
        </message>
        <message>
            <source>The two passwords differ; nothing was changed.</source>
            <translation>Las dos contraseñas no coinciden; no se cambió nada.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::alert</name>
        <message>
            <source>Unusual time record; an advisory was sent to the Administrator</source>
            <translation>Registro de tiempo fuera de lo normal; se envió un aviso al administrador</translation>
        </message>
        <message>
            <source>Error %1: %2</source>
            <translation>Error %1: %2</translation>
        </message>
        <message>
            <source>No mail server is set: alerts are switched off.</source>
            <translation>No hay un servidor de correo configurado: las alertas están desactivadas.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::audit</name>
        <message>
            <source>employee added</source>
            <translation>empleado agregado</translation>
        </message>
        <message>
            <source>employee renamed</source>
            <translation>empleado renombrado</translation>
        </message>
        <message>
            <source>employee terminated</source>
            <translation>empleado dado de baja</translation>
        </message>
        <message>
            <source>employee rehired</source>
            <translation>empleado recontratado</translation>
        </message>
        <message>
            <source>employee edited</source>
            <translation>empleado editado</translation>
        </message>
        <message>
            <source>password reset</source>
            <translation>contraseña restablecida</translation>
        </message>
        <message>
            <source>settings changed</source>
            <translation>configuración cambiada</translation>
        </message>
        <message>
            <source>mail password changed</source>
            <translation>contraseña de correo cambiada</translation>
        </message>
        <message>
            <source>clocked in</source>
            <translation>entrada marcada</translation>
        </message>
        <message>
            <source>clocked out</source>
            <translation>salida marcada</translation>
        </message>
        <message>
            <source>closed at midnight</source>
            <translation>cerrado a medianoche</translation>
        </message>
        <message>
            <source>reopened at 12:00 am</source>
            <translation>reabierto a las 12:00 am</translation>
        </message>
        <message>
            <source>already clocked in</source>
            <translation>entrada ya marcada</translation>
        </message>
        <message>
            <source>already clocked out</source>
            <translation>salida ya marcada</translation>
        </message>
        <message>
            <source>edited</source>
            <translation>editado</translation>
        </message>
        <message>
            <source>added</source>
            <translation>agregado</translation>
        </message>
        <message>
            <source>deleted</source>
            <translation>eliminado</translation>
        </message>
        <message>
            <source>absence added</source>
            <translation>ausencia agregada</translation>
        </message>
        <message>
            <source>absence removed</source>
            <translation>ausencia eliminada</translation>
        </message>
    </context>
    <context>
        <name>pelmar::board</name>
        <message>
            <source>in</source>
            <translation>presente</translation>
        </message>
        <message>
            <source>out</source>
            <translation>fuera</translation>
        </message>
        <message>
            <source>vacation</source>
            <translation>de vacaciones</translation>
        </message>
        <message>
            <source>holiday</source>
            <translation>de feriado</translation>
        </message>
        <message>
            <source>sick leave</source>
            <translation>de licencia por enfermedad</translation>
        </message>
        <message>
            <source>no recent records</source>
            <translation>sin registros recientes</translation>
        </message>
    </context>
    <context>
        <name>pelmar::clocking</name>
        <message>
            <source>You are already clocked in. Nothing was changed.</source>
            <translation>Ya marcó su entrada. No se cambió nada.</translation>
        </message>
        <message>
            <source>You are already clocked in since %1. Nothing was changed.</source>
            <translation>Ya marcó su entrada desde %1. No se cambió nada.</translation>
        </message>
        <message>
            <source>This shift is no longer in the time records. Nothing was changed; contact the administrator if your time records need correcting.</source>
            <translation>Este turno ya no está en los registros de tiempo. No se cambió nada; comuníquese con el administrador si sus registros necesitan corrección.</translation>
        </message>
        <message>
            <source>This shift was already clocked out at %1. Nothing was changed.</source>
            <translation>La salida de este turno ya se marcó a las %1. No se cambió nada.</translation>
        </message>
        <message>
            <source>You Clocked in:</source>
            <translation>Marcó su entrada:</translation>
        </message>
        <message>
            <source>You Clocked out:</source>
            <translation>Marcó su salida:</translation>
        </message>
    </context>
    <context>
        <name>pelmar::login</name>
        <message>
            <source>You were automatically clocked out at midnight, and clocked back in at 12:00 am. If this isn't appropriate, notify the administrator</source>
            <translation>Se marcó su salida automáticamente a medianoche y se volvió a marcar su entrada a las 12:00 am. Si esto no es correcto, avísele al administrador</translation>
        </message>
        <message>
            <source>You were not logged out correctly on %1.  You were automatically clocked out at midnight.<byte value="xd" />Please contact the administrator to correct your time records</source>
            <translation>No cerró sesión correctamente el %1.  Se marcó su salida automáticamente a medianoche.</translation>
        </message>
        <message>
            <source>That Password is Incorrect.</source>
            <translation>Esa contraseña es incorrecta.</translation>
        </message>
        <message>
            <source>Your name is no longer on the staff list. Please see the administrator.</source>
            <translation>Su nombre ya no está en la lista del personal. Hable con el administrador.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::offline</name>
        <message>
            <source>Saved on this terminal at %1. The database is out of reach; your time will be written when it is back.</source>
            <translation>Guardado en esta terminal a las %1. No se puede llegar a la base de datos; su hora se registrará cuando vuelva.</translation>
        </message>
        <message>
            <source>The database is out of reach (Error %1: %2). Until it is back, only employees who logged in on this terminal in the last %3 days can log in here.</source>
            <translation>No se puede llegar a la base de datos (Error %1: %2). Hasta que vuelva, solo pueden entrar aquí los empleados que entraron en esta terminal en los últimos %3 días.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::outbox</name>
        <message>
            <source>There is no alert %1.</source>
            <translation>No existe la alerta %1.</translation>
        </message>
    </context>
    <context>
        <name>pelmar::reportError</name>
        <message>
            <source>Error:%1 %2</source>
            <translation>Error:%1 %2</translation>
        </message>
    </context>
    <context>
        <name>pelmar::timesheet</name>
        <message>
            <source>Total Hours %1</source>
            <translation>Total de horas %1</translation>
        </message>
    </context>
    <context>
        <name>pelmar::whereis</name>
        <message>
            <source> is in </source>
            <translation> está en </translation>
        </message>
        <message>
            <source> is in.</source>
            <translation> marcó su entrada.</translation>
        </message>
        <message>
            <source> is out.</source>
            <translation> marcó su salida.</translation>
        </message>
        <message>
            <source> is on vacation </source>
            <translation> está de vacaciones </translation>
        </message>
        <message>
            <source> is on holiday </source>
            <translation> está de día feriado </translation>
        </message>
        <message>
            <source> is on sick leave </source>
            <translation> está con licencia por enfermedad </translation>
        </message>
        <message>
            <source> has no recent time records </source>
            <translation> no tiene registros de tiempo recientes </translation>
        </message>
        <message>
            <source>There is no recent record for %1</source>
            <translation>No hay registros recientes de %1</translation>
        </message>
    </context>
</TS>
