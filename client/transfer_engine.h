// Hooks the transfer engine into the client: IMMEDIATE, UNATTEND and LOG,
// and the host link's status texts into the transfer log.
#pragma once

struct ClientApp;

void InstallTransferEngine(ClientApp& app);
