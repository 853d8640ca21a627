UPDATE patients SET in_use_counter = 0;
